// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The content of one document: rows in field-book order, each a record and
// its caption. A row is kept as its line's bytes in an arena with one pointer
// of index; the 178-byte form is the record file's only. A caption is made
// when it is asked for, by MakeSt from the CaptionState that was in force
// when the row came in, so a million rows cost little more than their lines.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "records/caption_state.h"
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

  // The rows of the document; rows set aside (below) are not counted.
  std::size_t size() const { return rows_.size() - setAside_; }
  bool empty() const { return size() == 0; }

  // A copy: change a row with replace(). Const, so that assigning to it does not compile.
  const SurveyRecord record(std::size_t index) const;
  // The parts of a record without copying it out.
  std::string_view body(std::size_t index) const;
  std::string_view typeCode(std::size_t index) const;
  std::string_view derivCode(std::size_t index) const;
  char version(std::size_t index) const;

  std::string caption(std::size_t index) const;
  // The same into `out`, reusing its capacity.
  void captionInto(std::string& out, std::size_t index) const;

  struct LongestCaption {
    std::size_t row = 0;  // the last of the longest
    std::size_t length = 0;
  };
  // Of the rows `first` to `last`, without making every caption.
  LongestCaption longestCaption(std::size_t first, std::size_t last) const;

  // Rows captioned as MakeSt would caption them now from `state`: the
  // caption is made later from a copy of `state` as it is here, and `state`
  // moves on as that MakeSt call would move it.
  void append(const SurveyRecord& record, CaptionState& state);
  // The same for the record that SurveyRecord::fromText would make.
  void appendText(std::string_view text, char version, CaptionState& state);
  void replace(std::size_t index, const SurveyRecord& record, CaptionState& state);

  // Rows whose caption text is given.
  void append(std::string_view caption, const SurveyRecord& record);
  void insert(std::size_t index, std::string_view caption, const SurveyRecord& record);
  void setCaption(std::size_t index, std::string_view caption);

  void remove(std::size_t index);
  void remove(std::size_t first, std::size_t count);
  // Moves the rows of `other` to the end of this list; `other` is left empty.
  void appendRange(RecordList&& other);
  void reserve(std::size_t rows);
  void clear();

  // A row as it is stored: put back, it has the same bytes and the same
  // caption. Valid while the list lives and is not cleared, whatever is
  // removed or replaced meanwhile.
  class RowRef {
    friend class RecordList;
    char* row_ = nullptr;
  };
  RowRef rowRef(std::size_t index) const { return refOf(rows_[index]); }
  void insert(std::size_t index, const std::vector<RowRef>& rows);
  void replace(std::size_t index, RowRef row) { rows_[index] = row.row_; }
  // A row kept for insert() below, not yet in the list.
  RowRef makeRow(std::string_view caption, const SurveyRecord& record);
  // Rows for scattered places, in one pass however many there are: each
  // stands at `at` once all are in; ascending.
  struct Placed {
    std::size_t at = 0;
    RowRef row;
  };
  void insert(const std::vector<Placed>& rows);
  // The rows at these ascending indexes, in one pass.
  void remove(const std::vector<std::size_t>& rows);

  // Undoing an append keeps its rows where they are, behind the document's
  // rows: the last `count` rows are set aside, and bringing them back costs
  // nothing. Rows set aside last are brought back first. Every append
  // forgets them: they belonged to an undone append that is gone for good.
  void setAside(std::size_t count);
  void bringBack(std::size_t count);
  // Forgets the `count` rows set aside first, the furthest back: the undone
  // appends that can no longer be redone go latest first.
  void forgetSetAside(std::size_t count);
  std::size_t setAsideCount() const { return setAside_; }

 private:
  static constexpr std::uint32_t kGivenCaption = 0xFFFFFFFF;

  struct Parts {
    std::string_view typeCode;
    std::string_view derivCode;
    char version;
    std::string_view body;
  };
  static Parts partsOf(const SurveyRecord& record);
  char* store(const Parts& record, std::uint32_t stateRef, std::string_view caption);
  char* allocate(std::size_t bytes);
  void moveCaptionState(const Parts& record, CaptionState& state);
  std::uint32_t refTo(const CaptionState& state);
  static RowRef refOf(char* row) {
    RowRef ref;
    ref.row_ = row;
    return ref;
  }

  // Each row: its state reference, type, derivation, version, body and,
  // for a given caption, its length and text (see store()).
  std::vector<char*> rows_;
  // Blocks never move once allocated, so the row pointers stay valid.
  struct FreeBlock {
    void operator()(char* block) const;
  };
  std::vector<std::unique_ptr<char[], FreeBlock>> blocks_;
  std::size_t blockUsed_ = 0;
  std::size_t blockSize_ = 0;
  // Every distinct CaptionState a row refers to, once.
  std::vector<CaptionState> states_;
  std::unordered_map<std::string, std::uint32_t> stateRefs_;
  std::uint32_t lastRef_ = 0;
  std::size_t setAside_ = 0;
};

}  // namespace quillmar
