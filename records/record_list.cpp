// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/record_list.h"

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <new>

#include "records/make_st.h"

namespace quillmar {
namespace {

// Large pages where the system offers them: touching fresh memory page by
// page is what a big field book would otherwise spend its time on.
constexpr std::size_t kBlockSize = 2 << 20;

// Where the parts of a row lie in its arena bytes.
constexpr std::size_t kStateRefAt = 0;
constexpr std::size_t kTypeAt = 4;   // length byte, 2 characters
constexpr std::size_t kDerivAt = 7;  // length byte, 2 characters
constexpr std::size_t kVersionAt = 10;
constexpr std::size_t kBodyAt = 11;  // length byte, then the characters
constexpr std::size_t kHeaderSize = 12;

std::uint32_t readU32(const char* at) {
  std::uint32_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

void writeU32(char* at, std::uint32_t value) { std::memcpy(at, &value, sizeof value); }

std::string_view shortText(const char* at) { return {at + 1, static_cast<unsigned char>(*at)}; }

// An empty view may have no data at all, which memcpy must not be given.
void copyText(char* to, std::string_view text) {
  if (!text.empty()) std::memcpy(to, text.data(), text.size());
}

void putShortText(char* at, std::string_view text) {
  at[0] = static_cast<char>(text.size());
  copyText(at + 1, text);
}

// A code field: its length byte and both character places, the unused ones zero.
void putCode(char* at, std::string_view code) {
  std::memset(at, 0, 3);
  putShortText(at, code);
}

// Only header, instrument and job records change the state MakeSt keeps.
bool mayChangeCaptionState(std::string_view typeCode) {
  return typeCode == "00" || typeCode == "01" || typeCode == "10";
}

std::string stateKey(const CaptionState& state) {
  std::string key;
  for (std::string_view text :
       {state.angleUnit, state.distanceUnit, state.pressureUnit, state.temperatureUnit, state.coordinateOrder,
        state.instrumentModel, state.edmMounting, state.verticalAngleZero, state.pointIdType, state.includeElevation,
        state.atmosCorrection, state.crCorrection, state.refractionConstant, state.seaLevelCorrection}) {
    key.append(text);
    key.push_back('\0');
  }
  return key;
}

bool sameTexts(const CaptionState& a, const CaptionState& b) { return std::memcmp(&a, &b, sizeof(CaptionState)) == 0; }

}  // namespace

const SurveyRecord RecordList::record(std::size_t index) const {
  const char* row = rows_[index];
  SurveyRecord record;
  // The codes are stored whole, length byte and both characters, as the record holds them.
  static_assert(sizeof(record.typeCode) == 3 && sizeof(record.derivCode) == 3);
  std::memcpy(&record.typeCode, row + kTypeAt, 3);
  std::memcpy(&record.derivCode, row + kDerivAt, 3);
  record.version = row[kVersionAt];
  record.body.assign(shortText(row + kBodyAt));
  return record;
}

std::string_view RecordList::body(std::size_t index) const { return shortText(rows_[index] + kBodyAt); }

std::string_view RecordList::typeCode(std::size_t index) const { return shortText(rows_[index] + kTypeAt); }

std::string_view RecordList::derivCode(std::size_t index) const { return shortText(rows_[index] + kDerivAt); }

char RecordList::version(std::size_t index) const { return rows_[index][kVersionAt]; }

std::string RecordList::caption(std::size_t index) const {
  std::string out;
  captionInto(out, index);
  return out;
}

void RecordList::captionInto(std::string& out, std::size_t index) const {
  const char* row = rows_[index];
  const std::uint32_t ref = readU32(row + kStateRefAt);
  const std::string_view body = shortText(row + kBodyAt);
  if (ref == kGivenCaption) {
    const char* at = body.data() + body.size();
    out.assign(at + 4, readU32(at));
    return;
  }
  CaptionState state = states_[ref];
  MakeStInto(out, state, body, shortText(row + kTypeAt), shortText(row + kDerivAt), row[kVersionAt]);
}

void RecordList::FreeBlock::operator()(char* block) const { std::free(block); }

RecordList::LongestCaption RecordList::longestCaption(std::size_t first, std::size_t last) const {
  // Fields are cut by position, so outside header, instrument and job
  // records the length of a caption follows from the row's codes, version,
  // state and body length: its first kHeaderSize bytes, its shape. The
  // lengths of the shapes met are kept in a small table; a shape that finds
  // its slot taken is measured again.
  struct Known {
    const char* shape = nullptr;
    std::size_t length = 0;
  };
  std::array<Known, 256> known{};
  std::string caption;
  LongestCaption longest;
  for (std::size_t i = first; i <= last && i < size(); ++i) {
    const char* row = rows_[i];
    std::size_t length = 0;
    if (readU32(row + kStateRefAt) == kGivenCaption || mayChangeCaptionState(shortText(row + kTypeAt))) {
      captionInto(caption, i);
      length = caption.size();
    } else {
      std::uint64_t head;
      std::memcpy(&head, row, sizeof head);
      const std::uint64_t hash = (head ^ readU32(row + 8) * 0x9E3779B97F4A7C15ULL) * 0xC2B2AE3D27D4EB4FULL;
      Known& slot = known[hash >> 56];
      if (slot.shape == nullptr || std::memcmp(slot.shape, row, kHeaderSize) != 0) {
        captionInto(caption, i);
        slot = {row, caption.size()};
      }
      length = slot.length;
    }
    if (length >= longest.length) longest = {i, length};
  }
  return longest;
}

char* RecordList::allocate(std::size_t bytes) {
  if (blocks_.empty() || blockUsed_ + bytes > blockSize_) {
    blockSize_ = (std::max(kBlockSize, bytes) + kBlockSize - 1) / kBlockSize * kBlockSize;
    auto* block = static_cast<char*>(std::aligned_alloc(kBlockSize, blockSize_));
    if (block == nullptr) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    // Not for the first block: a small document touches only the pages it fills.
    if (!blocks_.empty()) ::madvise(block, blockSize_, MADV_HUGEPAGE);
#endif
    blocks_.emplace_back(block);
    blockUsed_ = 0;
  }
  char* at = blocks_.back().get() + blockUsed_;
  blockUsed_ += bytes;
  return at;
}

RecordList::Parts RecordList::partsOf(const SurveyRecord& record) {
  return {record.typeCode.view(), record.derivCode.view(), record.version, record.body.view()};
}

char* RecordList::store(const Parts& record, std::uint32_t stateRef, std::string_view caption) {
  const std::size_t size = kHeaderSize + record.body.size();
  const bool given = stateRef == kGivenCaption;
  char* row = allocate(size + (given ? 4 + caption.size() : 0));
  writeU32(row + kStateRefAt, stateRef);
  putCode(row + kTypeAt, record.typeCode);
  putCode(row + kDerivAt, record.derivCode);
  row[kVersionAt] = record.version;
  putShortText(row + kBodyAt, record.body);
  if (given) {
    writeU32(row + size, static_cast<std::uint32_t>(caption.size()));
    copyText(row + size + 4, caption);
  }
  return row;
}

std::uint32_t RecordList::refTo(const CaptionState& state) {
  if (!states_.empty() && sameTexts(states_[lastRef_], state)) return lastRef_;
  const auto [found, added] = stateRefs_.try_emplace(stateKey(state), static_cast<std::uint32_t>(states_.size()));
  if (added) states_.push_back(state);
  lastRef_ = found->second;
  return lastRef_;
}

void RecordList::moveCaptionState(const Parts& record, CaptionState& state) {
  if (!mayChangeCaptionState(record.typeCode)) return;
  std::string unused;
  MakeStInto(unused, state, record.body, record.typeCode, record.derivCode, record.version);
}

void RecordList::append(const SurveyRecord& record, CaptionState& state) {
  forgetSetAside(setAside_);
  const Parts parts = partsOf(record);
  rows_.push_back(store(parts, refTo(state), {}));
  moveCaptionState(parts, state);
}

void RecordList::appendText(std::string_view text, char version, CaptionState& state) {
  forgetSetAside(setAside_);
  text = text.substr(0, kBodyCapacity);
  const std::size_t lineEnd = std::min<std::size_t>(2, kBodyCapacity - text.size());
  char* row = allocate(kHeaderSize + text.size() + lineEnd);
  char* body = row + kBodyAt + 1;
  copyText(body, text);
  copyText(body + text.size(), std::string_view("\r\n", lineEnd));
  const std::string_view line(body, text.size() + lineEnd);
  const Parts parts{line.substr(0, 2), line.substr(std::min<std::size_t>(2, line.size()), 2), version, line};
  writeU32(row + kStateRefAt, refTo(state));
  putCode(row + kTypeAt, parts.typeCode);
  putCode(row + kDerivAt, parts.derivCode);
  row[kVersionAt] = version;
  row[kBodyAt] = static_cast<char>(line.size());
  rows_.push_back(row);
  moveCaptionState(parts, state);
}

void RecordList::replace(std::size_t index, const SurveyRecord& record, CaptionState& state) {
  const Parts parts = partsOf(record);
  rows_[index] = store(parts, refTo(state), {});
  moveCaptionState(parts, state);
}

void RecordList::append(std::string_view caption, const SurveyRecord& record) {
  forgetSetAside(setAside_);
  rows_.push_back(store(partsOf(record), kGivenCaption, caption));
}

void RecordList::insert(std::size_t index, std::string_view caption, const SurveyRecord& record) {
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(index), store(partsOf(record), kGivenCaption, caption));
}

void RecordList::setCaption(std::size_t index, std::string_view caption) {
  const SurveyRecord current = record(index);
  rows_[index] = store(partsOf(current), kGivenCaption, caption);
}

void RecordList::remove(std::size_t index) { rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index)); }

void RecordList::remove(std::size_t first, std::size_t count) {
  const auto begin = rows_.begin() + static_cast<std::ptrdiff_t>(first);
  rows_.erase(begin, begin + static_cast<std::ptrdiff_t>(count));
}

void RecordList::insert(std::size_t index, const std::vector<RowRef>& rows) {
  const auto at = rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(index), rows.size(), nullptr);
  std::transform(rows.begin(), rows.end(), at, [](RowRef row) { return row.row_; });
}

RecordList::RowRef RecordList::makeRow(std::string_view caption, const SurveyRecord& record) {
  return refOf(store(partsOf(record), kGivenCaption, caption));
}

void RecordList::insert(const std::vector<Placed>& rows) {
  std::vector<char*> merged;
  merged.reserve(rows_.size() + rows.size());
  std::size_t from = 0;
  const std::size_t shown = size();  // rows set aside stay behind the document's
  for (const Placed& placed : rows) {
    while (merged.size() < placed.at && from < shown) merged.push_back(rows_[from++]);
    merged.push_back(placed.row.row_);
  }
  merged.insert(merged.end(), rows_.begin() + static_cast<std::ptrdiff_t>(from), rows_.end());
  rows_.swap(merged);
}

void RecordList::remove(const std::vector<std::size_t>& rows) {
  std::size_t kept = 0;
  auto next = rows.begin();
  for (std::size_t index = 0; index < rows_.size(); ++index) {
    if (next != rows.end() && *next == index && index < size()) {
      ++next;
      continue;
    }
    rows_[kept++] = rows_[index];
  }
  rows_.resize(kept);
}

void RecordList::setAside(std::size_t count) { setAside_ += std::min(count, size()); }

void RecordList::bringBack(std::size_t count) { setAside_ -= std::min(count, setAside_); }

void RecordList::forgetSetAside(std::size_t count) {
  count = std::min(count, setAside_);
  rows_.resize(rows_.size() - count);
  setAside_ -= count;
}

void RecordList::appendRange(RecordList&& other) {
  forgetSetAside(setAside_);
  // Rows of this list may still be referred to (RowRef) while it has blocks.
  if (blocks_.empty()) {
    *this = std::move(other);
    other.clear();
    return;
  }
  std::vector<std::uint32_t> refs(other.states_.size());
  for (std::size_t i = 0; i < refs.size(); ++i) refs[i] = refTo(other.states_[i]);
  rows_.reserve(rows_.size() + other.rows_.size());
  for (char* row : other.rows_) {
    const std::uint32_t ref = readU32(row + kStateRefAt);
    if (ref != kGivenCaption) writeU32(row + kStateRefAt, refs[ref]);
    rows_.push_back(row);
  }
  for (auto& block : other.blocks_) blocks_.push_back(std::move(block));
  if (!other.blocks_.empty()) {
    blockUsed_ = other.blockUsed_;
    blockSize_ = other.blockSize_;
  }
  other.clear();
}

void RecordList::reserve(std::size_t rows) { rows_.reserve(rows); }

void RecordList::clear() {
  rows_.clear();
  blocks_.clear();
  blockUsed_ = blockSize_ = 0;
  states_.clear();
  stateRefs_.clear();
  lastRef_ = 0;
  setAside_ = 0;
}

}  // namespace quillmar
