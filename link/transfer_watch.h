// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Watching a transfer that may stop moving: an instrument that holds the
// upload with XOFF or has stopped reading, a line that falls silent during a
// reception. The watch says when to give up (the time-out, counted from the
// last progress) and when to tell the user that the transfer is held.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string_view>

namespace quillmar {

using TransferClock = std::chrono::steady_clock;

// A held transfer is announced after this long without progress, and again
// each time as long again passes without any.
inline constexpr std::chrono::seconds kHeldNoticeEvery{2};

// The longest time-out taken; a larger one is cut to it (30 days).
inline constexpr std::chrono::seconds kLongestTimeout{30 * 24 * 3600};

// Seconds as a decimal number ("0.5", "2", "1e3"): a finite number above 0,
// cut to kLongestTimeout; nothing for any other text.
std::optional<TransferClock::duration> timeoutOfText(std::string_view text);

class TransferWatch {
 public:
  enum class Verdict { Moving, Held, GiveUp };

  // Without a limit the watch never gives up.
  TransferWatch(std::optional<TransferClock::duration> limit, TransferClock::time_point now);

  // `done` counts what has moved so far (bytes). Held comes once per
  // kHeldNoticeEvery without progress; GiveUp once the limit has passed.
  Verdict look(std::size_t done, TransferClock::time_point now);

 private:
  std::optional<TransferClock::duration> limit_;
  std::size_t done_ = 0;
  TransferClock::time_point since_;
  TransferClock::time_point nextNotice_;
};

}  // namespace quillmar
