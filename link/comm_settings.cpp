// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/comm_settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <optional>

#include "records/file_writer.h"
#include "records/input_file.h"
#include "records/io_error.h"

namespace quillmar {
namespace {

struct FieldLayout {
  std::string CommSettings::*text;
  std::size_t capacity;
};

constexpr std::array<FieldLayout, 5> kFields{{
    {&CommSettings::portText, 4},
    {&CommSettings::baudText, 6},
    {&CommSettings::byteSizeText, 1},
    {&CommSettings::stopBitText, 10},
    {&CommSettings::parityText, 10},
}};

// Marks the full texts behind the record.
constexpr std::string_view kFullTextTag = "FULL";

void appendField(std::string& out, std::string_view text, std::size_t capacity) {
  const std::size_t length = std::min(text.size(), capacity);
  out.push_back(static_cast<char>(length));
  out.append(text.substr(0, length));
  out.append(capacity - length, '\0');
}

void appendLength(std::string& out, std::size_t length) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((length >> shift) & 0xFF));
}

bool anyTextCut(const CommSettings& settings) {
  for (const FieldLayout& field : kFields) {
    if ((settings.*field.text).size() > field.capacity) return true;
  }
  return false;
}

// The full texts behind the record, or nothing when they are absent or malformed.
std::optional<std::array<std::string_view, 5>> fullTexts(std::string_view tail) {
  if (tail.substr(0, kFullTextTag.size()) != kFullTextTag) return std::nullopt;
  tail.remove_prefix(kFullTextTag.size());
  std::array<std::string_view, 5> texts;
  for (std::string_view& text : texts) {
    if (tail.size() < 4) return std::nullopt;
    std::uint64_t length = 0;
    for (int i = 3; i >= 0; --i) length = (length << 8) | static_cast<unsigned char>(tail[i]);
    tail.remove_prefix(4);
    if (length > tail.size()) return std::nullopt;
    text = tail.substr(0, length);
    tail.remove_prefix(length);
  }
  return texts;
}

std::string readUpTo(InputFile& file, std::size_t limit) {
  std::string bytes;
  char chunk[4096];
  while (bytes.size() < limit) {
    const std::size_t n = file.readSome(chunk, sizeof chunk);
    if (n == 0) break;
    bytes.append(chunk, n);
  }
  return bytes;
}

// The settings file is never large; a bigger one is not ours.
constexpr std::size_t kReadLimit = 1 << 20;

}  // namespace

CommSettings creationCommSettings() { return {"", "4800", "8", "ONESTOPBIT", "NOPARITY"}; }

std::string encodeCommSettings(const CommSettings& settings) {
  std::string out;
  out.reserve(kCommSetRecordSize);
  for (const FieldLayout& field : kFields) appendField(out, settings.*field.text, field.capacity);
  if (!anyTextCut(settings)) return out;
  out.append(kFullTextTag);
  for (const FieldLayout& field : kFields) {
    appendLength(out, (settings.*field.text).size());
    out.append(settings.*field.text);
  }
  return out;
}

CommSettings decodeCommSettings(std::string_view bytes) {
  if (bytes.size() < kCommSetRecordSize) throw IoError(io_code::kReadBeyondEnd);
  const auto full = fullTexts(bytes.substr(kCommSetRecordSize));
  CommSettings settings;
  std::size_t offset = 0;
  for (std::size_t i = 0; i < kFields.size(); ++i) {
    const FieldLayout& field = kFields[i];
    const std::size_t length = std::min<std::size_t>(static_cast<unsigned char>(bytes[offset]), field.capacity);
    const std::string_view recordText = bytes.substr(offset + 1, length);
    // The full text counts only where the record's own text was cut: stored
    // at the field's full capacity, and continued by the full text.
    const bool fullApplies =
        full && length == field.capacity && (*full)[i].size() > length && (*full)[i].substr(0, length) == recordText;
    settings.*field.text = std::string(fullApplies ? (*full)[i] : recordText);
    offset += 1 + field.capacity;
  }
  return settings;
}

void loadCommSettings(const std::string& path, CommSettings& settings) {
  std::optional<InputFile> file;
  try {
    file.emplace(path);
  } catch (const IoError&) {
    throw IoError(io_code::kFileNotOpen);
  }
  struct stat st {};
  if (::fstat(file->fd(), &st) != 0 || S_ISDIR(st.st_mode)) throw IoError(io_code::kFileNotOpen);
  const CommSettings stored = decodeCommSettings(readUpTo(*file, kReadLimit));
  for (const FieldLayout& field : kFields) {
    if (!(stored.*field.text).empty()) settings.*field.text = stored.*field.text;
  }
}

void storeCommSettings(const std::string& path, const CommSettings& settings) {
  writeWholeFile(path, encodeCommSettings(settings));
}

}  // namespace quillmar
