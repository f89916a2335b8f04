// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as CommSet.ini: decoding never reads past the bytes, texts stay
// within what the file holds, and what is stored again decodes to the same.
#include <cstdint>

#include "link/comm_settings.h"
#include "records/io_error.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillmar;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CommSettings settings;
  try {
    settings = decodeCommSettings(bytes);
  } catch (const IoError& e) {
    check(e.code() == io_code::kReadBeyondEnd && size < kCommSetRecordSize);
    return 0;
  }
  check(size >= kCommSetRecordSize);
  for (const std::string* text :
       {&settings.portText, &settings.baudText, &settings.byteSizeText, &settings.stopBitText, &settings.parityText}) {
    check(text->size() <= size);
  }
  check(decodeCommSettings(encodeCommSettings(settings)) == settings);
  return 0;
}
