// SPDX-License-Identifier: GPL-3.0-or-later
#include "gis/staged_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <string_view>

#include "records/io_error.h"

namespace quillmar::gis {
namespace {

// The sibling files of a Shapefile that a reader would take for part of it.
constexpr std::array<std::string_view, 9> kSetSuffixes = {"shp", "shx", "dbf", "prj",    "cpg",
                                                          "qix", "sbn", "sbx", "shp.xml"};

struct PendingFolder {
  volatile std::sig_atomic_t active = 0;
  char path[PATH_MAX] = {};
};
thread_local PendingFolder pending;

// Empties and removes a folder with async-signal-safe calls only.
void removeFolderSafely(const char* path) noexcept {
  const int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    alignas(8) char buffer[4096];
    for (;;) {
      const long n = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer);
      if (n <= 0) break;
      for (long at = 0; at < n;) {
        // struct linux_dirent64: inode, offset, record length, type, name
        unsigned short length = 0;
        std::memcpy(&length, buffer + at + 16, sizeof length);
        const char* name = buffer + at + 19;
        if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) ::unlinkat(fd, name, 0);
        at += length;
      }
    }
    ::close(fd);
  }
  ::rmdir(path);
}

constexpr std::string_view kStagePrefix = ".quillmar-export-";

// ".quillmar-export-1234-XXXXXX" of a process that is gone: killed while it
// wrote. Folders of live processes, and of other programs, stay.
bool isStageOfDeadRun(std::string_view name) {
  if (!name.starts_with(kStagePrefix)) return false;
  name.remove_prefix(kStagePrefix.size());
  const std::size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash > 9) return false;
  pid_t pid = 0;
  for (const char c : name.substr(0, dash)) {
    if (c < '0' || c > '9') return false;
    pid = pid * 10 + (c - '0');
  }
  return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH;
}

void removeStagesOfDeadRuns(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  std::vector<std::string> stale;
  while (const dirent* entry = ::readdir(dir))
    if (isStageOfDeadRun(entry->d_name)) stale.push_back(folder + "/" + entry->d_name);
  ::closedir(dir);
  for (const std::string& path : stale) removeFolderSafely(path.c_str());
}

// Two exports to one folder replace their sets one after the other, never
// mixed: the folder itself is locked while files are moved.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder) : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ < 0) throw IoError::fromErrno(errno);
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd_);
      throw IoError::fromErrno(error);
    }
  }
  ~FolderLock() { ::close(fd_); }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_;
};

std::vector<std::string> namesIn(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) throw IoError::fromErrno(errno);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

StagedFiles::StagedFiles(std::string folder) : folder_(std::move(folder)) {
  removeStagesOfDeadRuns(folder_);
  std::string pattern = folder_ + "/" + std::string(kStagePrefix) + std::to_string(::getpid()) + "-XXXXXX";
  if (pattern.size() >= PATH_MAX) throw IoError::fromErrno(ENAMETOOLONG);
  if (::mkdtemp(pattern.data()) == nullptr) throw IoError::fromErrno(errno);
  temporary_ = pattern;
  std::memcpy(pending.path, temporary_.c_str(), temporary_.size() + 1);
  pending.active = 1;
}

StagedFiles::~StagedFiles() { removeTemporary(); }

std::string StagedFiles::stagedPath(const std::string& name) const { return temporary_ + "/" + name; }

std::vector<std::string> StagedFiles::commit(const std::vector<std::string>& replacedSets) {
  const std::vector<std::string> names = namesIn(temporary_);
  const FolderLock lock(folder_);
  for (const std::string& name : names) {
    const std::string from = stagedPath(name);
    const std::string to = folder_ + "/" + name;
    struct stat old {};
    if (::stat(to.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::chmod(from.c_str(), old.st_mode & 07777);
    if (::rename(from.c_str(), to.c_str()) != 0) throw IoError::fromErrno(errno);
  }
  for (const std::string& set : replacedSets) {
    for (const std::string_view suffix : kSetSuffixes) {
      const std::string sibling = set + std::string(suffix);
      if (std::find(names.begin(), names.end(), sibling) != names.end()) continue;
      if (::unlink((folder_ + "/" + sibling).c_str()) != 0 && errno != ENOENT) throw IoError::fromErrno(errno);
    }
  }
  removeTemporary();
  return names;
}

void StagedFiles::removeTemporary() noexcept {
  if (temporary_.empty()) return;
  pending.active = 0;
  removeFolderSafely(temporary_.c_str());
  temporary_.clear();
}

void abandonStagedFilesInProgress() noexcept {
  if (!pending.active) return;
  pending.active = 0;
  removeFolderSafely(pending.path);
}

}  // namespace quillmar::gis
