// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Qt's cross-thread calls synchronise inside Qt, where ThreadSanitizer cannot
// see it unless Qt itself was built for it. These marks tell it about the
// hand-overs that Qt's blocking calls and QThread::wait order.

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
#define QUILLMAR_HANDED_OVER(address) __tsan_release(static_cast<void*>(address))
#define QUILLMAR_TAKEN_OVER(address) __tsan_acquire(static_cast<void*>(address))
#else
#define QUILLMAR_HANDED_OVER(address) static_cast<void>(address)
#define QUILLMAR_TAKEN_OVER(address) static_cast<void>(address)
#endif
