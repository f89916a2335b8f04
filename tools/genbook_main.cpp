// SPDX-License-Identifier: GPL-3.0-or-later
// quillmar-genbook: writes a large generated field book for benchmarks and
// for trying the program on big files.

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "tools/field_book_generator.h"

int main(int argc, char** argv) {
  using quillmar::tools::FieldBookOptions;
  using quillmar::tools::Layout;
  FieldBookOptions options;
  std::string out;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--sdr2")
      options.layout = Layout::Sdr2x;
    else if (arg == "--sdr3")
      options.layout = Layout::Sdr3x;
    else if (arg == "--records" && hasValue)
      options.records = std::strtoull(argv[++i], nullptr, 10);
    else if (arg == "--seed" && hasValue)
      options.seed = std::strtoull(argv[++i], nullptr, 10);
    else if (arg == "--recorded" && hasValue)
      options.recordedTargets = std::strtod(argv[++i], nullptr);
    else if (out.empty() && arg[0] != '-')
      out = arg;
    else {
      out.clear();
      break;
    }
  }
  if (out.empty()) {
    std::cerr << "usage: quillmar-genbook [--sdr3|--sdr2] [--records N] [--seed S] [--recorded SHARE] OUT\n";
    return 2;
  }
  const std::string book = quillmar::tools::generateFieldBook(options);
  std::ofstream file(out, std::ios::binary);
  file.write(book.data(), static_cast<std::streamsize>(book.size()));
  file.close();
  if (!file) {
    std::cerr << "quillmar-genbook: cannot write " << out << "\n";
    return 1;
  }
  return 0;
}
