#pragma once
// The content of one document: rows in field-book order, each a caption and
// the record it owns. Captions are kept in a text arena so that a field book
// of a million rows costs little more than its records.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
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
  RecordList(RecordList&& other) noexcept { *this = std::move(other); }
  RecordList& operator=(RecordList&& other) noexcept;

  // The rows of the document; rows set aside (below) are not counted.
  std::size_t size() const { return records_.size() - setAside_; }
  bool empty() const { return size() == 0; }

  const SurveyRecord& record(std::size_t index) const { return records_[index]; }
  SurveyRecord& record(std::size_t index) { return records_[index]; }
  // The parts of a record.
  std::string_view body(std::size_t index) const { return records_[index].body.view(); }
  std::string_view typeCode(std::size_t index) const { return records_[index].typeCode.view(); }
  std::string_view derivCode(std::size_t index) const { return records_[index].derivCode.view(); }
  char version(std::size_t index) const { return records_[index].version; }
  std::string_view caption(std::size_t index) const { return captions_[index].view(); }
  void captionInto(std::string& out, std::size_t index) const { out.assign(caption(index)); }

  // Appending forgets the rows set aside: they belonged to an undone append.
  void append(std::string_view caption, const SurveyRecord& record);
  void insert(std::size_t index, std::string_view caption, const SurveyRecord& record);
  // Rows first .. first + count of `from`, inserted at `index` in their order.
  void insert(std::size_t index, const RecordList& from, std::size_t first, std::size_t count);
  void remove(std::size_t index);
  void remove(std::size_t first, std::size_t count);
  void setCaption(std::size_t index, std::string_view caption);
  void reserve(std::size_t rows);
  void clear();

  // Undoing an append keeps its rows where they are, behind the document's
  // rows: the last `count` rows are set aside, and bringing them back costs
  // nothing. Rows set aside last are brought back first.
  void setAside(std::size_t count);
  void bringBack(std::size_t count);
  // Forgets the `count` rows set aside first, the furthest back: the undone
  // appends that can no longer be redone go latest first.
  void forgetSetAside(std::size_t count);
  std::size_t setAsideCount() const { return setAside_; }

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
  std::size_t setAside_ = 0;
};

}  // namespace quillmar
