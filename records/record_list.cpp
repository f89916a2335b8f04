#include "records/record_list.h"

#include <algorithm>
#include <cstring>

namespace quillmar {
namespace {
constexpr std::size_t kBlockSize = 1 << 20;
}

RecordList& RecordList::operator=(RecordList&& other) noexcept {
  records_ = std::exchange(other.records_, {});
  captions_ = std::exchange(other.captions_, {});
  blocks_ = std::exchange(other.blocks_, {});
  blockUsed_ = std::exchange(other.blockUsed_, 0);
  blockSize_ = std::exchange(other.blockSize_, 0);
  setAside_ = std::exchange(other.setAside_, 0);
  return *this;
}

RecordList::CaptionRef RecordList::store(std::string_view caption) {
  if (caption.empty()) return {};
  if (blocks_.empty() || blockUsed_ + caption.size() > blockSize_) {
    blockSize_ = std::max(kBlockSize, caption.size());
    blocks_.push_back(std::make_unique<char[]>(blockSize_));
    blockUsed_ = 0;
  }
  char* dest = blocks_.back().get() + blockUsed_;
  std::memcpy(dest, caption.data(), caption.size());
  blockUsed_ += caption.size();
  return {dest, static_cast<std::uint32_t>(caption.size())};
}

void RecordList::append(std::string_view caption, const SurveyRecord& record) {
  if (setAside_ != 0) forgetSetAside(setAside_);
  records_.push_back(record);
  captions_.push_back(store(caption));
}

void RecordList::insert(std::size_t index, std::string_view caption, const SurveyRecord& record) {
  records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(index), record);
  captions_.insert(captions_.begin() + static_cast<std::ptrdiff_t>(index), store(caption));
}

void RecordList::insert(std::size_t index, const RecordList& from, std::size_t first,
                        std::size_t count) {
  const auto at = static_cast<std::ptrdiff_t>(index);
  const auto begin = from.records_.begin() + static_cast<std::ptrdiff_t>(first);
  records_.insert(records_.begin() + at, begin, begin + static_cast<std::ptrdiff_t>(count));
  std::vector<CaptionRef> captions;
  captions.reserve(count);
  for (std::size_t row = first; row < first + count; ++row) captions.push_back(store(from.caption(row)));
  captions_.insert(captions_.begin() + at, captions.begin(), captions.end());
}

void RecordList::remove(std::size_t first, std::size_t count) {
  const auto begin = static_cast<std::ptrdiff_t>(first);
  const auto end = static_cast<std::ptrdiff_t>(first + count);
  records_.erase(records_.begin() + begin, records_.begin() + end);
  captions_.erase(captions_.begin() + begin, captions_.begin() + end);
}

void RecordList::remove(std::size_t index) {
  records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
  captions_.erase(captions_.begin() + static_cast<std::ptrdiff_t>(index));
}

void RecordList::setCaption(std::size_t index, std::string_view caption) {
  captions_[index] = store(caption);
}

void RecordList::reserve(std::size_t rows) {
  records_.reserve(rows);
  captions_.reserve(rows);
}

void RecordList::clear() {
  records_.clear();
  captions_.clear();
  blocks_.clear();
  blockUsed_ = blockSize_ = 0;
  setAside_ = 0;
}

void RecordList::setAside(std::size_t count) { setAside_ += std::min(count, size()); }

void RecordList::bringBack(std::size_t count) { setAside_ -= std::min(count, setAside_); }

void RecordList::forgetSetAside(std::size_t count) {
  count = std::min(count, setAside_);
  records_.resize(records_.size() - count);
  captions_.resize(captions_.size() - count);
  setAside_ -= count;
}

}  // namespace quillmar
