#include "records/record_list.h"

#include <algorithm>
#include <cstring>

namespace quillmar {
namespace {
constexpr std::size_t kBlockSize = 1 << 20;
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
  records_.push_back(record);
  captions_.push_back(store(caption));
}

void RecordList::insert(std::size_t index, std::string_view caption, const SurveyRecord& record) {
  records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(index), record);
  captions_.insert(captions_.begin() + static_cast<std::ptrdiff_t>(index), store(caption));
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
}

}  // namespace quillmar
