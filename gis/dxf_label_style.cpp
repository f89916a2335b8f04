// SPDX-License-Identifier: GPL-3.0-or-later
#include "gis/dxf_label_style.h"

#include <cerrno>
#include <fstream>

#include "records/file_writer.h"
#include "records/io_error.h"

namespace quillmar::gis {
namespace {

// What GDAL names the one text style that all our labels share.
constexpr std::string_view kGdalLabelStyle = "AutoTextStyle-1";
constexpr std::size_t kChunk = 1 << 20;

std::string_view withoutCr(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  text.remove_prefix(first);
  return text.substr(0, text.find_last_not_of(' ') + 1);
}

// Group code 2 names a table entry, 7 an entity's text style.
bool namesStyle(std::string_view code) {
  const std::string_view number = trimmed(withoutCr(code));
  return number == "2" || number == "7";
}

}  // namespace

void NameLabelStyle(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw IoError::fromErrno(errno != 0 ? errno : EIO);
  FileWriter out(path);
  std::string pending, line, code;
  bool isValue = false;  // a DXF file is pairs of lines: a group code, then its value
  while (std::getline(in, line)) {
    if (isValue && namesStyle(code) && withoutCr(line) == kGdalLabelStyle)
      line.replace(0, kGdalLabelStyle.size(), kLabelStyle);
    pending += line;
    if (!in.eof()) pending += '\n';
    if (!isValue) code.swap(line);
    isValue = !isValue;
    if (pending.size() >= kChunk) {
      out.write(pending);
      pending.clear();
    }
  }
  if (in.bad()) throw IoError::fromErrno(EIO);
  out.write(pending);
  out.commit();
}

}  // namespace quillmar::gis
