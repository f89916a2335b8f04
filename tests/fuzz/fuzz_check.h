// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdlib>

// A broken invariant is a crash the fuzzer keeps, like any other.
inline void check(bool condition) {
  if (!condition) std::abort();
}
