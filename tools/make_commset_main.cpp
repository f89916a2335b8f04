// SPDX-License-Identifier: GPL-3.0-or-later
// quillmar-make-commset: writes a CommSet.ini with the given settings texts,
// as the settings dialog's OK writes it.

#include <iostream>
#include <string>

#include "link/comm_settings.h"
#include "records/io_error.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 7) {
    std::cerr << "usage: quillmar-make-commset OUT [PORT BAUD BYTESIZE STOPBIT PARITY]\n"
                 "Without texts: COM1 4800 8 ONESTOPBIT NOPARITY.\n";
    return 2;
  }
  quillmar::CommSettings settings = quillmar::creationCommSettings();
  settings.portText = "COM1";
  if (argc == 7) settings = {argv[2], argv[3], argv[4], argv[5], argv[6]};
  try {
    quillmar::storeCommSettings(argv[1], settings);
  } catch (const quillmar::IoError& e) {
    std::cerr << argv[1] << ": " << e.what() << "\n";
    return 1;
  }
  return 0;
}
