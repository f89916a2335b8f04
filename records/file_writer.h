#pragma once
// Byte sinks for the writers. FileWriter never destroys the previous file:
// it writes a temporary file beside the target and renames it over the
// target on commit, keeping the old file's permissions. A target that is not
// a regular file (a device such as /dev/full, a pipe) is written in place.

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
  ~FileWriter() override;  // without commit: the temporary file is removed
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  void write(std::string_view bytes) override;  // throws IoError
  // Flushes, closes and puts the file in place; throws IoError.
  void commit();

 private:
  void flushBuffer();
  void discard() noexcept;

  std::string target_;
  std::string tempPath_;  // empty when writing in place
  int fd_ = -1;
  std::string buffer_;
};

// Writes a whole text to a file through FileWriter.
void writeWholeFile(const std::string& path, std::string_view bytes);

}  // namespace quillmar
