// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/transfer_watch.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace quillmar {

std::optional<TransferClock::duration> timeoutOfText(std::string_view text) {
  double seconds = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (!std::isfinite(seconds) || !(seconds > 0)) return std::nullopt;
  // Cut before converting: a large double does not fit the clock's count.
  const std::chrono::duration<double> wanted(seconds);
  if (wanted >= kLongestTimeout) return kLongestTimeout;
  return std::max(std::chrono::duration_cast<TransferClock::duration>(wanted), TransferClock::duration(1));
}

TransferWatch::TransferWatch(std::optional<TransferClock::duration> limit, TransferClock::time_point now)
    : limit_(limit), since_(now), nextNotice_(now + kHeldNoticeEvery) {}

TransferWatch::Verdict TransferWatch::look(std::size_t done, TransferClock::time_point now) {
  if (done != done_) {
    done_ = done;
    since_ = now;
    nextNotice_ = now + kHeldNoticeEvery;
    return Verdict::Moving;
  }
  if (limit_ && now - since_ >= *limit_) return Verdict::GiveUp;
  if (now < nextNotice_) return Verdict::Moving;
  nextNotice_ = now + kHeldNoticeEvery;
  return Verdict::Held;
}

}  // namespace quillmar
