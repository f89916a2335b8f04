// SPDX-License-Identifier: GPL-3.0-or-later
#include "gis/watched_files.h"

#include <cerrno>
#include <cstring>
#include <mutex>
#include <string_view>

#include <cpl_vsi.h>

#include "records/io_error.h"

namespace quillmar::gis {
namespace {

constexpr const char* kPrefix = "/vsiquillmar/";

thread_local int watchers = 0;
thread_local int failedErrno = 0;

// Some writers report a failure without errno (a short write of a full disk).
void noteFailure() {
  if (watchers > 0 && failedErrno == 0) failedErrno = errno != 0 ? errno : ENOSPC;
}

VSILFILE* handle(void* file) { return static_cast<VSILFILE*>(file); }

// A file that cannot be made fails the export as GDAL says it.
void* open(void*, const char* path, const char* access) { return VSIFOpenExL(path, access, TRUE); }

size_t write(void* file, const void* buffer, size_t size, size_t count) {
  errno = 0;
  const size_t written = VSIFWriteL(buffer, size, count, handle(file));
  if (written != count) noteFailure();
  return written;
}

int flush(void* file) {
  errno = 0;
  const int result = VSIFFlushL(handle(file));
  if (result != 0) noteFailure();
  return result;
}

int close(void* file) {
  errno = 0;
  const int result = VSIFCloseL(handle(file));
  if (result != 0) noteFailure();
  return result;
}

int truncate(void* file, vsi_l_offset size) {
  const int result = VSIFTruncateL(handle(file), size);
  if (result != 0) noteFailure();
  return result;
}

// GDAL's DXF writer reads back its header after writing the file and scans
// the bytes for a line end without looking at how many it got; after a
// failed write the file is short, and the scan ran off its stack buffer.
// So the part of a short read that holds nothing is line ends, and once a
// write has failed nothing more is read back at all.
size_t read(void* file, void* buffer, size_t size, size_t count) {
  const size_t got = watchers > 0 && failedErrno != 0 ? 0 : VSIFReadL(buffer, size, count, handle(file));
  if (got < count) std::memset(static_cast<char*>(buffer) + got * size, '\n', (count - got) * size);
  return got;
}
int seek(void* file, vsi_l_offset offset, int whence) { return VSIFSeekL(handle(file), offset, whence); }
vsi_l_offset tell(void* file) { return VSIFTellL(handle(file)); }
int eof(void* file) { return VSIFEofL(handle(file)); }

int stat(void*, const char* path, VSIStatBufL* buffer, int flags) { return VSIStatExL(path, buffer, flags); }
int unlink(void*, const char* path) { return VSIUnlink(path); }
int rename(void*, const char* from, const char* to) {
  const std::string_view prefix = kPrefix;
  const std::string_view target = to;
  return VSIRename(from, target.starts_with(prefix) ? to + prefix.size() : to);
}
int mkdir(void*, const char* path, long mode) { return VSIMkdir(path, mode); }
int rmdir(void*, const char* path) { return VSIRmdir(path); }
char** readDir(void*, const char* path, int maxFiles) { return VSIReadDirEx(path, maxFiles); }

void install() {
  VSIFilesystemPluginCallbacksStruct* callbacks = VSIAllocFilesystemPluginCallbacksStruct();
  callbacks->open = open;
  callbacks->write = write;
  callbacks->flush = flush;
  callbacks->close = close;
  callbacks->truncate = truncate;
  callbacks->read = read;
  callbacks->seek = seek;
  callbacks->tell = tell;
  callbacks->eof = eof;
  callbacks->stat = stat;
  callbacks->unlink = unlink;
  callbacks->rename = rename;
  callbacks->mkdir = mkdir;
  callbacks->rmdir = rmdir;
  callbacks->read_dir = readDir;
  VSIInstallPluginHandler(kPrefix, callbacks);
  VSIFreeFilesystemPluginCallbacksStruct(callbacks);
}

}  // namespace

std::string WatchedPath(const std::string& path) {
  static std::once_flag once;
  std::call_once(once, install);
  return kPrefix + path;
}

int WatchedWriteFailure() { return watchers > 0 ? failedErrno : 0; }

WriteWatch::WriteWatch() {
  if (watchers++ == 0) failedErrno = 0;
}

WriteWatch::~WriteWatch() { --watchers; }

int WriteWatch::firstFailure() const { return failedErrno; }

void WriteWatch::check() const {
  if (failedErrno != 0) throw IoError::fromErrno(failedErrno);
}

}  // namespace quillmar::gis
