#pragma once
// The content of one document: rows in field-book order, each a caption and
// the record it owns. Captions are kept in a text arena so that a field book
// of a million rows costs little more than its records.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "records/survey_record.h"

namespace quillmar {

// How many rows the readers make between two progress reports.
inline constexpr std::size_t kRowsPerProgressStep = 1 << 15;

class RecordList {
 public:
  RecordList() = default;
  RecordList(const RecordList&) = delete;
  RecordList& operator=(const RecordList&) = delete;
  RecordList(RecordList&&) = default;
  RecordList& operator=(RecordList&&) = default;

  std::size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }

  const SurveyRecord& record(std::size_t index) const { return records_[index]; }
  SurveyRecord& record(std::size_t index) { return records_[index]; }
  std::string_view caption(std::size_t index) const { return captions_[index].view(); }

  void append(std::string_view caption, const SurveyRecord& record);
  void insert(std::size_t index, std::string_view caption, const SurveyRecord& record);
  void remove(std::size_t index);
  void setCaption(std::size_t index, std::string_view caption);
  void reserve(std::size_t rows);
  void clear();

 private:
  struct CaptionRef {
    const char* data = nullptr;
    std::uint32_t size = 0;
    std::string_view view() const { return {data, size}; }
  };
  CaptionRef store(std::string_view caption);

  std::vector<SurveyRecord> records_;
  std::vector<CaptionRef> captions_;
  // Blocks never move once allocated, so the refs stay valid.
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t blockUsed_ = 0;
  std::size_t blockSize_ = 0;
};

}  // namespace quillmar
