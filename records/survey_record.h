// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One record of a field book, in the 178-byte form that both memory and the
// record file (*.qdl) use.

#include <cstddef>
#include <string_view>

#include "records/short_string.h"

namespace quillmar {

inline constexpr char kVersionSdr3 = '3';
inline constexpr char kVersionSdr2 = '2';
// Stored when the first lines of a field book name no SDR layout.
inline constexpr char kVersionNone = '0';

inline constexpr std::size_t kBodyCapacity = 170;

struct SurveyRecord {
  ShortString<2> typeCode;   // characters 1-2 of the SDR line
  ShortString<2> derivCode;  // characters 3-4 of the SDR line
  char version = kVersionNone;
  ShortString<kBodyCapacity> body;  // the whole line, CR LF as far as it fits

  // A record made from one SDR line that ends in its CR LF.
  static SurveyRecord fromLine(std::string_view line, char version) {
    SurveyRecord r;
    r.version = version;
    r.body.assign(line);
    r.takeCodesFromBody();
    return r;
  }

  // The same for a line's text whose CR LF is not stored with it.
  static SurveyRecord fromText(std::string_view text, char version) {
    SurveyRecord r;
    r.version = version;
    r.body.assign(text);
    for (char end : {'\r', '\n'}) {
      if (r.body.length < kBodyCapacity) r.body.chars[r.body.length++] = end;
    }
    r.takeCodesFromBody();
    return r;
  }

 private:
  // Characters 1-4 of the line, its line end counting: Body holds them all.
  void takeCodesFromBody() {
    const std::string_view line = body.view();
    typeCode.assign(line.substr(0, 2));
    derivCode.assign(line.substr(std::min<std::size_t>(2, line.size()), 2));
  }
};

// What a Body lacks of the CR LF that ends its line: a line of more than 168
// characters keeps 170 of them and loses its line end, in part or whole.
// Nothing for an empty Body, which holds no line at all.
inline std::string_view missingLineEnd(std::string_view body) {
  if (body.empty() || body.ends_with("\r\n")) return {};
  return body.ends_with('\r') ? "\n" : "\r\n";
}

static_assert(sizeof(SurveyRecord) == 178, "the record file stores 178-byte records");

}  // namespace quillmar
