// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/file_writer.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "records/io_error.h"

namespace quillmar {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

namespace {

constexpr std::size_t kBufferSize = 1 << 20;
constexpr std::size_t kLongestName = 255;
constexpr std::size_t kBackupNameKept = 200;  // of the target's name, so that the backup's name fits too
constexpr const char* kTemporaryPrefix = "/.quillmar-";

// What a signal handler needs to undo the write in progress; plain bytes only.
// One per thread: the windows save from worker threads, and the command-line
// tool, which handles the signals, writes from its only thread.
struct PendingWrite {
  volatile std::sig_atomic_t active = 0;
  char tempPath[PATH_MAX] = {};
  char backupPath[PATH_MAX] = {};
  int targetFd = -1;
  int backupFd = -1;
};
thread_local PendingWrite pending;

void copyInto(char (&to)[PATH_MAX], const std::string& from) {
  const std::size_t n = std::min(from.size(), sizeof to - 1);
  std::memcpy(to, from.data(), n);
  to[n] = '\0';
}

std::string fdPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// The path the kernel opened, as it resolved the links on the way.
std::string openedPath(int fd) {
  char resolved[PATH_MAX];
  const ssize_t n = ::readlink(fdPath(fd).c_str(), resolved, sizeof resolved);
  if (n <= 0 || static_cast<std::size_t>(n) >= sizeof resolved || resolved[0] != '/') return {};
  return std::string(resolved, static_cast<std::size_t>(n));
}

// Without /proc: the file a chain of links leads to, one link at a time.
// The kernel has already allowed following them by opening the path.
std::string followLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char next[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), next, sizeof next - 1);
    if (n <= 0) return path;
    const std::string link(next, static_cast<std::size_t>(n));
    path = link[0] == '/' ? link : FolderOf(path) + "/" + link;
  }
  return path;
}

mode_t currentUmask() {
  std::ifstream status("/proc/self/status");
  std::string word;
  while (status >> word) {
    if (word == "Umask:" && status >> word) return static_cast<mode_t>(std::strtoul(word.c_str(), nullptr, 8));
  }
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return mask;
}

std::string randomSuffix() {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  unsigned char bytes[8] = {};
  if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
    static unsigned counter = 0;
    std::memcpy(bytes, &++counter, sizeof counter);
  }
  std::string suffix;
  for (unsigned char b : bytes) suffix.push_back(kLetters[b % (sizeof kLetters - 1)]);
  return suffix;
}

// Creates a 0600 file that nobody else can reach: unnamed where the file
// system allows it, else under a short random name. `name` is empty for an
// unnamed one.
int createTemporary(const std::string& directory, std::string& name) {
  const bool canNameLater = ::access("/proc/self/fd", X_OK) == 0;
  if (canNameLater) {
    const int fd = ::open(directory.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) throw IoError::fromErrno(errno);
  }
  name = directory + kTemporaryPrefix + "XXXXXX";
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) {
    // A folder that exists but takes no new files (/proc) is no missing file.
    const int err = errno == ENOENT && ::access(directory.c_str(), F_OK) == 0 ? EACCES : errno;
    name.clear();
    throw IoError::fromErrno(err);
  }
  return fd;
}

bool writeAll(int fd, const char* p, std::size_t left) noexcept {
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

// Copies a whole file from its start; async-signal-safe.
bool copyContent(int from, int to) noexcept {
  if (::lseek(from, 0, SEEK_SET) < 0 || ::lseek(to, 0, SEEK_SET) < 0 || ::ftruncate(to, 0) != 0) return false;
  char chunk[1 << 16];
  for (;;) {
    const ssize_t n = ::read(from, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (!writeAll(to, chunk, static_cast<std::size_t>(n))) return false;
  }
}

void copyExtendedAttributes(int from, int to) {
  const ssize_t size = ::flistxattr(from, nullptr, 0);
  if (size <= 0) return;
  std::vector<char> names(static_cast<std::size_t>(size));
  const ssize_t got = ::flistxattr(from, names.data(), names.size());
  if (got <= 0) return;
  std::vector<char> value;
  for (const char* name = names.data(); name < names.data() + got; name += std::strlen(name) + 1) {
    const ssize_t length = ::fgetxattr(from, name, nullptr, 0);
    if (length < 0) continue;
    value.resize(static_cast<std::size_t>(length));
    if (::fgetxattr(from, name, value.data(), value.size()) == length) {
      (void)::fsetxattr(to, name, value.data(), value.size(), 0);  // some need privileges we may lack
    }
  }
}

void closeIfOpen(int& fd) noexcept {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

void abandonWriteInProgress() noexcept {
  if (!pending.active) return;
  pending.active = 0;
  if (pending.tempPath[0] != '\0') ::unlink(pending.tempPath);
  if (pending.backupFd >= 0 && copyContent(pending.backupFd, pending.targetFd)) ::unlink(pending.backupPath);
}

FileWriter::FileWriter(std::string path) : target_(std::move(path)) {
  if (target_.empty()) throw IoError::fromErrno(ENOENT);
  buffer_.reserve(kBufferSize);
  // Opening the path itself lets the kernel apply its rules on links
  // (protected_symlinks in sticky folders, loops) exactly as for any program.
  int fd = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0 && errno == ENXIO) fd = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);  // a pipe's reader
  if (fd < 0 && errno != ENOENT) throw IoError::fromErrno(errno);
  try {
    if (fd >= 0)
      openExisting(fd);
    else
      openNew();
  } catch (...) {
    discard();
    throw;
  }
}

void FileWriter::openExisting(int fd) {
  oldFd_ = fd;
  targetExisted_ = true;
  if (::fstat(fd, &old_) != 0) failWith(errno);
  (void)::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (!S_ISREG(old_.st_mode)) {
    mode_ = Mode::InPlace;
    fd_ = oldFd_;
    oldFd_ = -1;
    if (::ftruncate(fd_, 0) != 0 && errno != EINVAL) failWith(errno);
    return;
  }
  const std::string resolved = openedPath(fd);
  target_ = resolved.empty() ? followLinks(target_) : resolved;
  directory_ = FolderOf(target_);
  // The links keep sharing the content, and a file we could not give back to
  // its owner stays hers: both are written in place.
  const bool ownerWouldChange = ::geteuid() != 0 && ::geteuid() != old_.st_uid;
  if (old_.st_nlink > 1 || ownerWouldChange) mode_ = Mode::InPlaceWithBackup;
  fd_ = createTemporary(directory_, tempPath_);
  copyInto(pending.tempPath, tempPath_);
  pending.backupFd = -1;
  pending.active = 1;
}

void FileWriter::openNew() {
  struct stat link {};
  if (::lstat(target_.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    // A dangling link: the kernel creates the file it leads to, or refuses.
    const int fd = ::open(target_.c_str(), O_WRONLY | O_CREAT | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) throw IoError::fromErrno(errno);
    createdTarget_ = true;
    openExisting(fd);
    return;
  }
  if (NameOf(target_).size() > kLongestName) throw IoError::fromErrno(ENAMETOOLONG);
  directory_ = FolderOf(target_);
  fd_ = createTemporary(directory_, tempPath_);
  copyInto(pending.tempPath, tempPath_);
  pending.backupFd = -1;
  pending.active = 1;
}

// The old content goes to a backup beside the target first, so that it is
// never only in the target while the target is being rewritten.
void FileWriter::startBackup() {
  backupPath_ = directory_ + "/." + NameOf(target_).substr(0, kBackupNameKept) + "~XXXXXX";
  backupFd_ = ::mkostemp(backupPath_.data(), O_CLOEXEC);
  if (backupFd_ < 0) {
    backupPath_.clear();
    failWith(errno);
  }
  const int readable = ::open(target_.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
  struct stat st {};
  const bool same =
      readable >= 0 && ::fstat(readable, &st) == 0 && st.st_ino == old_.st_ino && st.st_dev == old_.st_dev;
  const bool copied = same && copyContent(readable, backupFd_) && ::fsync(backupFd_) == 0;
  const int err = readable < 0 ? errno : EIO;
  if (readable >= 0) ::close(readable);
  if (!copied) failWith(err);
}

// The new content, complete in the temporary file, is copied over the
// target's own bytes: its links, owner and attributes stay as they are.
void FileWriter::copyOverTarget() {
  startBackup();
  copyInto(pending.backupPath, backupPath_);
  pending.targetFd = oldFd_;
  pending.backupFd = backupFd_;
  targetTouched_ = true;
  if (!copyContent(fd_, oldFd_) || ::fsync(oldFd_) != 0) failWith(errno == 0 ? EIO : errno);
  pending.active = 0;
  targetTouched_ = false;
  ::unlink(backupPath_.c_str());
  backupPath_.clear();
}

FileWriter::~FileWriter() { discard(); }

void FileWriter::failWith(int err) {
  discard();
  throw IoError::fromErrno(err);
}

void FileWriter::discard() noexcept {
  pending.active = 0;
  // A backup that could not be copied back stays, as the only copy of the old content.
  if (!backupPath_.empty() && (!targetTouched_ || copyContent(backupFd_, oldFd_))) ::unlink(backupPath_.c_str());
  backupPath_.clear();
  targetTouched_ = false;
  closeIfOpen(fd_);
  closeIfOpen(oldFd_);
  closeIfOpen(backupFd_);
  if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
  tempPath_.clear();
  if (createdTarget_) ::unlink(target_.c_str());
  createdTarget_ = false;
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
  if (fd_ < 0) throw IoError(io_code::kFileNotOpen);
  if (!writeAll(fd_, buffer_.data(), buffer_.size())) failWith(errno == 0 ? EIO : errno);
  buffer_.clear();
}

void FileWriter::commit() {
  flushBuffer();
  // A disk that fills up may only say so when the data reaches it.
  if (mode_ != Mode::InPlace && ::fsync(fd_) != 0 && errno != EINVAL) failWith(errno);
  if (mode_ == Mode::Replace) commitReplacement();
  if (mode_ == Mode::InPlaceWithBackup) copyOverTarget();
  pending.active = 0;
  const int closed = ::close(fd_);
  const int err = errno;
  fd_ = -1;
  if (closed != 0 && mode_ != Mode::InPlaceWithBackup) failWith(err);
  if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
  tempPath_.clear();
  closeIfOpen(backupFd_);
  closeIfOpen(oldFd_);
  createdTarget_ = false;
}

void FileWriter::commitReplacement() {
  if (targetExisted_)
    keepOldFileProperties();
  else
    (void)::fchmod(fd_, 0666 & ~currentUmask());
  if (tempPath_.empty()) {
    linkTemporaryOverTarget();
    return;
  }
  if (::rename(tempPath_.c_str(), target_.c_str()) != 0) failWith(errno);
  tempPath_.clear();
}

void FileWriter::keepOldFileProperties() {
  if (::fchown(fd_, old_.st_uid, old_.st_gid) != 0) {
    // Without the right to give the file its owner, its group may still be
    // kept; failing that too, the file stays ours, as any file we create.
    [[maybe_unused]] const int groupKept = ::fchown(fd_, static_cast<uid_t>(-1), old_.st_gid);
  }
  copyExtendedAttributes(oldFd_, fd_);
  (void)::fchmod(fd_, old_.st_mode & 07777);  // after the owner: a change of owner clears set-id bits
}

// An unnamed file gets a name only now: the target's where it is free, else a
// random one that is renamed over the target.
void FileWriter::linkTemporaryOverTarget() {
  const std::string source = fdPath(fd_);
  if (!targetExisted_ && ::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, target_.c_str(), AT_SYMLINK_FOLLOW) == 0) {
    return;
  }
  if (!targetExisted_ && errno != EEXIST) failWith(errno);
  for (;;) {
    tempPath_ = directory_ + kTemporaryPrefix + randomSuffix();
    if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, tempPath_.c_str(), AT_SYMLINK_FOLLOW) == 0) break;
    const int err = errno;
    tempPath_.clear();
    if (err != EEXIST) failWith(err);
  }
  copyInto(pending.tempPath, tempPath_);
  if (::rename(tempPath_.c_str(), target_.c_str()) != 0) failWith(errno);
  tempPath_.clear();
}

void writeWholeFile(const std::string& path, std::string_view bytes) {
  FileWriter out(path);
  out.write(bytes);
  out.commit();
}

}  // namespace quillmar
