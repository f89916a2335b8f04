// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Byte sinks for the writers. FileWriter never destroys the previous file.
// It opens the target as a plain open would (so the kernel decides whether a
// symbolic link may be followed), writes an unnamed temporary file beside the
// file the link leads to, and gives it the target's name on commit, with the
// old file's mode, owner, group and extended attributes. A file that shares
// its content with other hard links, or whose owner this process could not
// keep, gets the finished temporary file's content copied over its own bytes
// on commit, after a backup copy beside it; the backup goes once the copy has
// succeeded. A target that is not a regular file (a device such as /dev/full,
// a pipe) is written in place.

#include <sys/stat.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace quillmar {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual void write(std::string_view bytes) = 0;
};

class FileWriter final : public ByteSink {
 public:
  // Throws IoError when the file cannot be created.
  explicit FileWriter(std::string path);
  ~FileWriter() override;  // without commit: the target is left as it was
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  void write(std::string_view bytes) override;  // throws IoError
  // Flushes, closes and puts the file in place; throws IoError.
  void commit();

 private:
  enum class Mode { Replace, InPlace, InPlaceWithBackup };

  void openExisting(int fd);
  void openNew();
  void startBackup();
  void copyOverTarget();
  void flushBuffer();
  void commitReplacement();
  void linkTemporaryOverTarget();
  void keepOldFileProperties();
  [[noreturn]] void failWith(int err);
  void discard() noexcept;

  std::string target_;     // the file that ends up holding the bytes
  std::string directory_;  // where the temporary file and the backup lie
  Mode mode_ = Mode::Replace;
  int fd_ = -1;     // what is being written
  int oldFd_ = -1;  // the replaced file, for its properties
  struct stat old_ {};
  bool targetExisted_ = false;
  bool createdTarget_ = false;  // a dangling link's new, empty target
  std::string tempPath_;        // a named temporary file where no unnamed one can be made
  std::string backupPath_;
  int backupFd_ = -1;
  bool targetTouched_ = false;  // the target's bytes are being rewritten from the temporary file
  std::string buffer_;
};

// The folder part of a path ("." for a bare name) and the name part.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

// Writes a whole text to a file through FileWriter.
void writeWholeFile(const std::string& path, std::string_view bytes);

// For a signal handler: undoes what the write in progress has done to the
// disk (removes a named temporary file, puts a backup back) so that the target
// stays as it was. Only async-signal-safe calls.
void abandonWriteInProgress() noexcept;

}  // namespace quillmar
