// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/transfer_watch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillmar {
namespace {

using namespace std::chrono_literals;

TEST(TimeoutOfText, finitePositiveSecondsAreTakenAndLargeOnesCut) {
  const std::pair<const char*, std::optional<TransferClock::duration>> cases[] = {
      {"0.5", 500ms},
      {"2", 2s},
      {"1e3", 1000s},
      {"9.3e9", kLongestTimeout},
      {"1e308", kLongestTimeout},
      {"inf", std::nullopt},
      {"nan", std::nullopt},
      {"-1", std::nullopt},
      {"0", std::nullopt},
      {"-0", std::nullopt},
      {"soon", std::nullopt},
      {"", std::nullopt},
      {" 1", std::nullopt},
      {"1s", std::nullopt},
  };
  for (const auto& [text, timeout] : cases) EXPECT_EQ(timeoutOfText(text), timeout) << text;
}

// Each step: the time since the watch began and the bytes done by then.
struct Step {
  std::chrono::milliseconds at;
  std::size_t done;
  TransferWatch::Verdict verdict;
};

TEST(TransferWatch, countsTimeWithoutProgressAndSaysWhenTheTransferIsHeld) {
  using V = TransferWatch::Verdict;
  struct Case {
    const char* name;
    std::optional<TransferClock::duration> limit;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"moving bytes never give up", 1s, {{900ms, 10, V::Moving}, {1800ms, 20, V::Moving}, {2700ms, 30, V::Moving}}},
      {"the limit counts from the last progress",
       1s,
       {{900ms, 10, V::Moving}, {1800ms, 10, V::Moving}, {1900ms, 10, V::GiveUp}}},
      {"held: said after two seconds, then every two seconds",
       std::nullopt,
       {{1900ms, 0, V::Moving},
        {2000ms, 0, V::Held},
        {2100ms, 0, V::Moving},
        {4000ms, 0, V::Held},
        {4500ms, 5, V::Moving},
        {6400ms, 5, V::Moving},
        {6500ms, 5, V::Held}}},
      {"without a limit it waits for ever", std::nullopt, {{1000h, 0, V::Held}}},
  };
  for (const Case& c : cases) {
    const TransferClock::time_point start{};
    TransferWatch watch(c.limit, start);
    for (const Step& step : c.steps) {
      EXPECT_EQ(watch.look(step.done, start + step.at), step.verdict) << c.name << " at " << step.at.count() << " ms";
    }
  }
}

}  // namespace
}  // namespace quillmar
