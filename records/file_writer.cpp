#include "records/file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "records/io_error.h"

namespace quillmar {
namespace {

constexpr std::size_t kBufferSize = 1 << 20;

std::string resolvedTarget(const std::string& path) {
  // Saving through a symbolic link replaces the file it points to, not the link.
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) return resolved;
  }
  return path;
}

std::string temporaryNameFor(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  return target + ".~" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

}  // namespace

FileWriter::FileWriter(std::string path) : target_(resolvedTarget(path)) {
  if (target_.empty()) throw IoError(io_code::kFileNotFound);
  buffer_.reserve(kBufferSize);
  struct stat st {};
  const bool exists = ::stat(target_.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) throw IoError(io_code::kAccessDenied);
  if (exists && !S_ISREG(st.st_mode)) {
    fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd_ < 0) throw IoError::fromErrno(errno);
    return;
  }
  if (exists && ::access(target_.c_str(), W_OK) != 0) throw IoError::fromErrno(errno);
  tempPath_ = temporaryNameFor(target_);
  fd_ = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd_ < 0) throw IoError::fromErrno(errno);
  if (exists) (void)::fchmod(fd_, st.st_mode & 07777);
}

FileWriter::~FileWriter() { discard(); }

void FileWriter::discard() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
  tempPath_.clear();
}

void FileWriter::write(std::string_view bytes) {
  if (buffer_.size() + bytes.size() > kBufferSize) flushBuffer();
  if (bytes.size() >= kBufferSize) {
    buffer_.assign(bytes);
    flushBuffer();
    return;
  }
  buffer_.append(bytes);
}

void FileWriter::flushBuffer() {
  const char* p = buffer_.data();
  std::size_t left = buffer_.size();
  while (left > 0) {
    const ssize_t n = ::write(fd_, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      discard();
      throw IoError::fromErrno(err);
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  buffer_.clear();
}

void FileWriter::commit() {
  if (fd_ < 0) throw IoError(io_code::kFileNotOpen);
  flushBuffer();
  // A disk that fills up may only say so when the data reaches it.
  if (!tempPath_.empty() && ::fsync(fd_) != 0 && errno != EINVAL) {
    const int err = errno;
    discard();
    throw IoError::fromErrno(err);
  }
  if (::close(fd_) != 0) {
    const int err = errno;
    fd_ = -1;
    discard();
    throw IoError::fromErrno(err);
  }
  fd_ = -1;
  if (tempPath_.empty()) return;
  if (::rename(tempPath_.c_str(), target_.c_str()) != 0) {
    const int err = errno;
    discard();
    throw IoError::fromErrno(err);
  }
  tempPath_.clear();
}

void writeWholeFile(const std::string& path, std::string_view bytes) {
  FileWriter out(path);
  out.write(bytes);
  out.commit();
}

}  // namespace quillmar
