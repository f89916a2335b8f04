// SPDX-License-Identifier: GPL-3.0-or-later
#include "gis/dxf_label_style.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "records/file_writer.h"
#include "records/io_error.h"

namespace quillmar::gis {
namespace {

// What GDAL names the one text style that all our labels share.
constexpr std::string_view kGdalLabelStyle = "AutoTextStyle-1";
constexpr std::size_t kBlock = 1 << 20;

std::string_view withoutCr(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// Group code 2 names a table entry, 7 an entity's text style.
bool namesStyle(std::string_view code) {
  const std::size_t first = code.find_first_not_of(' ');
  return first != std::string_view::npos && (code.substr(first) == "2" || code.substr(first) == "7");
}

// A DXF file is pairs of lines, a group code and its value; the lines come
// in blocks of any size.
class StyleRenamer {
 public:
  explicit StyleRenamer(ByteSink& out) : out_(out) {}

  // Passes on the lines of `text` that end in it, and the rest too when it is
  // the file's last; returns how much of `text` it passed on.
  std::size_t pass(std::string_view text, bool last) {
    std::size_t emitted = 0, start = 0;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n', start)) {
      take(text, start, end, emitted);
      start = end + 1;
    }
    if (last && start < text.size()) {
      take(text, start, text.size(), emitted);
      start = text.size();
    }
    out_.write(text.substr(emitted, start - emitted));
    return start;
  }

 private:
  void take(std::string_view text, std::size_t start, std::size_t end, std::size_t& emitted) {
    const std::string_view line = withoutCr(text.substr(start, end - start));
    if (isValue_ && styleCode_ && line == kGdalLabelStyle) {
      out_.write(text.substr(emitted, start - emitted));
      out_.write(kLabelStyle);
      emitted = start + kGdalLabelStyle.size();
    }
    if (!isValue_) styleCode_ = namesStyle(line);
    isValue_ = !isValue_;
  }

  ByteSink& out_;
  bool isValue_ = false;
  bool styleCode_ = false;
};

}  // namespace

void NameLabelStyle(const std::string& path) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!in) throw IoError::fromErrno(errno);
  FileWriter out(path);
  StyleRenamer renamer(out);
  std::string text;
  std::string block(kBlock, '\0');
  for (;;) {
    const std::size_t read = std::fread(block.data(), 1, block.size(), in.get());
    if (read == 0 && std::ferror(in.get())) throw IoError::fromErrno(EIO);
    text.append(block, 0, read);
    text.erase(0, renamer.pass(text, read == 0));
    if (read == 0) break;
  }
  out.commit();
}

}  // namespace quillmar::gis
