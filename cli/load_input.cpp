#include "cli/load_input.h"

#include "records/import.h"
#include "records/line_buffer.h"
#include "records/record_file.h"

namespace quillmar::cli {

bool isRecordFileName(const std::string& path) {
  return path.size() >= 4 && path.compare(path.size() - 4, 4, ".qdl") == 0;
}

void loadInput(const std::string& path, CaptionState& captions, RecordList& list) {
  if (isRecordFileName(path)) {
    openRecordFile(path, captions, list);
    return;
  }
  LineBuffer lines;
  const std::size_t count = ImportSdrFile(path, lines);
  Obrabotka(lines, count, captions, list);
}

}  // namespace quillmar::cli
