// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a record file: reading clips every length, and writing the
// records again keeps every significant byte of the clipped form.
#include <cstdint>

#include <cstdlib>
#include <string>
#include <vector>
#include "tests/fuzz/fuzz_check.h"

#include "records/make_st.h"
#include "records/record_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillmar;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<SurveyRecord> records;
  CaptionState captions;
  forEachRecordIn(bytes, [&](const SurveyRecord& r) {
    check(r.typeCode.length <= 2 && r.derivCode.length <= 2 && r.body.length <= kBodyCapacity);
    (void)MakeSt(captions, r);
    records.push_back(r);
  });
  check(records.size() == size / kRecordFileRecordSize);
  std::string again;
  for (const auto& r : records) appendRecordBytes(again, r);
  std::size_t index = 0;
  forEachRecordIn(again, [&](const SurveyRecord& r) {
    const SurveyRecord& first = records[index++];
    check(r.body.view() == first.body.view() && r.typeCode.view() == first.typeCode.view() &&
          r.derivCode.view() == first.derivCode.view() && r.version == first.version);
  });
  return 0;
}
