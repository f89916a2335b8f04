// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/record_find.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "records/make_st.h"
#include "records/record_layout.h"

namespace quillmar {
namespace {

// Windows-1251 letters whose upper case is not simply 0x20 below the lower.
constexpr std::pair<unsigned char, unsigned char> kOtherCasePairs[] = {
    {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D}, {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2},
    {0xA3, 0xBC}, {0xA5, 0xB4}, {0xA8, 0xB8}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE},
};

const std::array<unsigned char, 256> kLower = makeCp1251LowerTable();

// For each lower-case byte its upper case; every other byte stands for itself.
std::array<unsigned char, 256> makeUpperTable() {
  std::array<unsigned char, 256> table{};
  for (int byte = 0; byte < 256; ++byte) table[byte] = static_cast<unsigned char>(byte);
  for (int byte = 0; byte < 256; ++byte) {
    if (kLower[byte] != byte) table[kLower[byte]] = static_cast<unsigned char>(byte);
  }
  return table;
}
const std::array<unsigned char, 256> kUpper = makeUpperTable();

bool equalFolded(const unsigned char* text, std::string_view lower) {
  for (std::size_t i = 0; i < lower.size(); ++i) {
    if (kLower[text[i]] != static_cast<unsigned char>(lower[i])) return false;
  }
  return true;
}

// Looks at each start position from `from` on, one by one.
bool matchesFrom(const unsigned char* text, std::size_t size, std::size_t from, std::string_view lower) {
  for (std::size_t i = from; i + lower.size() <= size; ++i) {
    if (equalFolded(text + i, lower)) return true;
  }
  return false;
}

#if defined(__SSE2__)
// Looks closely at the start positions whose bits are set.
bool anyMatch(const unsigned char* text, unsigned candidates, std::string_view lower) {
  while (candidates != 0) {
    const auto bit = static_cast<std::size_t>(__builtin_ctz(candidates));
    if (equalFolded(text + bit, lower)) return true;
    candidates &= candidates - 1;
  }
  return false;
}

// Sixteen start positions at a time: a position is looked at closely only
// where both the first and the last byte of the text fit, in either case.
bool matchesWide(const unsigned char* text, std::size_t size, std::string_view lower) {
  const std::size_t last = lower.size() - 1;
  const auto first = static_cast<unsigned char>(lower.front());
  const auto final = static_cast<unsigned char>(lower.back());
  const __m128i firstLower = _mm_set1_epi8(static_cast<char>(first));
  const __m128i firstUpper = _mm_set1_epi8(static_cast<char>(kUpper[first]));
  const __m128i finalLower = _mm_set1_epi8(static_cast<char>(final));
  const __m128i finalUpper = _mm_set1_epi8(static_cast<char>(kUpper[final]));
  const auto fits = [&](const unsigned char* at) {
    const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const __m128i tails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + last));
    const __m128i headFits = _mm_or_si128(_mm_cmpeq_epi8(heads, firstLower), _mm_cmpeq_epi8(heads, firstUpper));
    const __m128i tailFits = _mm_or_si128(_mm_cmpeq_epi8(tails, finalLower), _mm_cmpeq_epi8(tails, finalUpper));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(headFits, tailFits)));
  };
  std::size_t i = 0;
  for (; i + last + 16 <= size; i += 16) {
    if (anyMatch(text + i, fits(text + i), lower)) return true;
  }
  if (i + last >= size) return false;
  if (size < last + 16) return matchesFrom(text, size, i, lower);
  // The last sixteen start positions, less those looked at already.
  const std::size_t end = size - last - 16;
  return anyMatch(text + end, fits(text + end) & ~((1u << (i - end)) - 1), lower);
}
#endif

// A caption is its kind's fixed texts (literals, settings) with fields of
// the line between them. Made from a line of markers, the fixed texts show
// between the runs of markers.
constexpr char kFieldMarker = '\x01';

// The fixed texts of a kind's captions in lower case, or nothing when they
// depend on CaptionState and so may differ from row to row.
std::optional<std::vector<std::string>> fixedTexts(std::string_view typeCode, std::string_view derivCode,
                                                   char version) {
  const std::string markers(kBodyCapacity, kFieldMarker);
  CaptionState empty;
  CaptionState marked;
  for (std::string_view* text :
       {&marked.angleUnit, &marked.distanceUnit, &marked.pressureUnit, &marked.temperatureUnit, &marked.coordinateOrder,
        &marked.instrumentModel, &marked.edmMounting, &marked.verticalAngleZero, &marked.pointIdType,
        &marked.includeElevation, &marked.atmosCorrection, &marked.crCorrection, &marked.refractionConstant,
        &marked.seaLevelCorrection})
    *text = "\x02";
  const std::string caption = MakeSt(empty, markers, typeCode, derivCode, version);
  if (caption != MakeSt(marked, markers, typeCode, derivCode, version)) return std::nullopt;
  std::vector<std::string> texts(1);
  for (char c : caption) {
    if (c != kFieldMarker)
      texts.back() += static_cast<char>(kLower[static_cast<unsigned char>(c)]);
    else if (!texts.back().empty())
      texts.emplace_back();
  }
  return texts;
}

// The pieces of `lower` that a caption's fields must supply. An occurrence
// lies over the fixed texts in one of a few ways, each leaving parts of the
// text to fields (copies of the line); of each way its longest such part is
// kept, so a line holding none of them cannot give a caption holding the text.
// Nothing when some way leaves no part to a field.
class FieldPieces {
 public:
  FieldPieces(const std::vector<std::string>& texts, std::string_view lower) : lower_(lower) {
    for (const std::string& text : texts)
      if (!text.empty()) texts_.push_back(text);
    fromField(0, kAnyText, {});
    for (std::size_t i = 0; i < texts_.size(); ++i) fromInside(i);
  }
  std::optional<std::vector<std::string>> pieces() const {
    if (withoutField_) return std::nullopt;
    return pieces_;
  }

 private:
  static constexpr std::size_t kAnyText = static_cast<std::size_t>(-1);
  static constexpr std::size_t kMostSteps = 10000;

  // The occurrence begins inside text `i` and runs on past its end.
  void fromInside(std::size_t i) {
    const std::string_view text = texts_[i];
    for (std::size_t at = 0; at < text.size(); ++at) {
      const std::string_view tail = text.substr(at);
      if (tail.starts_with(lower_))
        withoutField_ = true;
      else if (lower_.starts_with(tail))
        fromField(tail.size(), i + 1, {});
    }
  }

  // From `pos` the text goes on in a field (possibly empty) that the fixed
  // text `next` follows (any text, or none after the last).
  void fromField(std::size_t pos, std::size_t next, std::string_view longest) {
    // Texts of repeated bytes over short fixed texts lie in too many ways to
    // go through: their captions are made.
    if (++steps_ > kMostSteps) withoutField_ = true;
    if (withoutField_) return;
    for (std::size_t size = 0; pos + size <= lower_.size(); ++size) {
      const std::string_view piece = lower_.substr(pos, size);
      const std::string_view kept = piece.size() > longest.size() ? piece : longest;
      const std::string_view rest = lower_.substr(pos + size);
      if (rest.empty()) return finish(kept);
      const std::size_t first = next == kAnyText ? 0 : next;
      const std::size_t last = next == kAnyText ? texts_.size() : std::min(next + 1, texts_.size());
      for (std::size_t j = first; j < last; ++j) {
        if (texts_[j].starts_with(rest))
          finish(kept);
        else if (rest.starts_with(texts_[j]))
          fromField(pos + size + texts_[j].size(), j + 1, kept);
      }
    }
  }

  void finish(std::string_view longest) {
    if (longest.empty())
      withoutField_ = true;
    else if (std::find(pieces_.begin(), pieces_.end(), longest) == pieces_.end())
      pieces_.emplace_back(longest);
  }

  std::string_view lower_;
  std::vector<std::string> texts_;
  std::vector<std::string> pieces_;
  bool withoutField_ = false;
  std::size_t steps_ = 0;
};

// For each kind of record met, the pieces of the text its line must hold for
// its caption to be worth making (none known: the caption is always made).
class LinePieces {
 public:
  explicit LinePieces(std::string_view lower) : lower_(lower) {}

  const std::optional<std::vector<CaptionMatcher>>& forKind(std::string_view typeCode, std::string_view derivCode,
                                                            char version) {
    std::uint64_t key = static_cast<unsigned char>(version);
    for (std::string_view code : {typeCode, derivCode}) {
      key = key << 8 | code.size();
      for (char c : code) key = key << 8 | static_cast<unsigned char>(c);
    }
    for (const auto& [knownKey, pieces] : known_)
      if (knownKey == key) return pieces;
    return known_.emplace_back(key, matchersFor(typeCode, derivCode, version)).second;
  }

 private:
  std::optional<std::vector<CaptionMatcher>> matchersFor(std::string_view typeCode, std::string_view derivCode,
                                                         char version) const {
    const auto texts = fixedTexts(typeCode, derivCode, version);
    if (!texts) return std::nullopt;
    const auto pieces = FieldPieces(*texts, lower_).pieces();
    if (!pieces || pieces->size() > kMostPieces) return std::nullopt;
    return std::vector<CaptionMatcher>(pieces->begin(), pieces->end());
  }

  // More pieces than this cost about as much as making the caption.
  static constexpr std::size_t kMostPieces = 8;
  std::string_view lower_;
  // A book holds few kinds: a short list is quicker than hashing.
  std::vector<std::pair<std::uint64_t, std::optional<std::vector<CaptionMatcher>>>> known_;
};

}  // namespace

std::array<unsigned char, 256> makeCp1251LowerTable() {
  std::array<unsigned char, 256> table{};
  for (int byte = 0; byte < 256; ++byte) table[byte] = static_cast<unsigned char>(byte);
  for (int byte = 'A'; byte <= 'Z'; ++byte) table[byte] = static_cast<unsigned char>(byte + 0x20);
  for (int byte = 0xC0; byte <= 0xDF; ++byte) table[byte] = static_cast<unsigned char>(byte + 0x20);
  for (const auto& [upper, lower] : kOtherCasePairs) table[upper] = lower;
  return table;
}

unsigned char cp1251Lower(unsigned char byte) { return kLower[byte]; }

std::string cp1251Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(kLower[static_cast<unsigned char>(c)]);
  return lower;
}

bool isOfKind(std::string_view typeCode, RecordKind kind) {
  switch (kind) {
    case RecordKind::All: return true;
    case RecordKind::Station: return typeCode == LayoutOf(KindId::Station).typeCode;
    case RecordKind::Target: return typeCode == LayoutOf(KindId::Target).typeCode;
    case RecordKind::Position: return typeCode == LayoutOf(KindId::Position).typeCode;
    case RecordKind::Observation: return typeCode == LayoutOf(KindId::Observation).typeCode;
    case RecordKind::Note: return typeCode == LayoutOf(KindId::Note).typeCode;
  }
  return false;
}

CaptionMatcher::CaptionMatcher(std::string_view text) : lower_(cp1251Lower(text)) {}

bool CaptionMatcher::matches(std::string_view caption) const {
  if (lower_.empty()) return true;
  if (caption.size() < lower_.size()) return false;
  const auto* text = reinterpret_cast<const unsigned char*>(caption.data());
#if defined(__SSE2__)
  return matchesWide(text, caption.size(), lower_);
#else
  return matchesFrom(text, caption.size(), 0, lower_);
#endif
}

namespace {

// Cheapest first: the kind, then the line, and the caption only when needed.
bool rowMatches(const RecordList& list, std::size_t row, const CaptionMatcher& matcher, RecordKind kind,
                LinePieces& kinds, std::string& caption) {
  const std::string_view typeCode = list.typeCode(row);
  if (!isOfKind(typeCode, kind)) return false;
  if (matcher.lower().empty()) return true;
  if (const auto& pieces = kinds.forKind(typeCode, list.derivCode(row), list.version(row))) {
    const std::string_view body = list.body(row);
    if (std::none_of(pieces->begin(), pieces->end(), [&](const CaptionMatcher& piece) { return piece.matches(body); }))
      return false;
  }
  list.captionInto(caption, row);
  return matcher.matches(caption);
}

}  // namespace

std::optional<std::size_t> findRow(const RecordList& list, const CaptionMatcher& matcher, RecordKind kind,
                                   std::size_t start, Direction direction) {
  const std::size_t rows = list.size();
  if (rows == 0) return std::nullopt;
  std::size_t row = start % rows;
  LinePieces kinds(matcher.lower());
  std::string caption;
  for (std::size_t looked = 0; looked < rows; ++looked) {
    if (rowMatches(list, row, matcher, kind, kinds, caption)) return row;
    if (direction == Direction::Forward)
      row = row + 1 == rows ? 0 : row + 1;
    else
      row = row == 0 ? rows - 1 : row - 1;
  }
  return std::nullopt;
}

}  // namespace quillmar
