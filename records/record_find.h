// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding a row by its caption: a case-insensitive match on Windows-1251
// bytes, Cyrillic and Latin alike, optionally limited to one record kind.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "records/record_list.h"

namespace quillmar {

// Upper and lower case of one Windows-1251 byte fold to the lower case.
std::array<unsigned char, 256> makeCp1251LowerTable();
unsigned char cp1251Lower(unsigned char byte);
std::string cp1251Lower(std::string_view text);

// The kinds a search can be limited to, chosen by the record's TypeCode.
enum class RecordKind { All, Station, Target, Position, Observation, Note };
bool isOfKind(std::string_view typeCode, RecordKind kind);

// A text to look for in captions. An empty text is found in every caption.
class CaptionMatcher {
 public:
  explicit CaptionMatcher(std::string_view text);
  bool matches(std::string_view caption) const;
  // The text in lower case.
  std::string_view lower() const { return lower_; }

 private:
  std::string lower_;
};

enum class Direction { Forward, Backward };

// The first row from `start` on (or back from it) whose caption matches and
// whose record is of `kind`, wrapping around the ends; every row is looked at
// once, `start` first. Nothing when no row matches or the list is empty.
// Captions are taken to be MakeSt's: a row whose line lacks every piece of
// the text that the caption's fields would have to supply (the text less the
// kind's fixed words it can run into) is passed over without making its caption.
std::optional<std::size_t> findRow(const RecordList& list, const CaptionMatcher& matcher, RecordKind kind,
                                   std::size_t start, Direction direction);

}  // namespace quillmar
