// SPDX-License-Identifier: GPL-3.0-or-later
// Finding rows by caption: case folding on Windows-1251 bytes, the matcher
// against a plain reference, and the walk over the rows with wrap and kind.

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "records/cp1251.h"
#include "records/make_st.h"
#include "records/record_find.h"

namespace quillmar {
namespace {

TEST(CaseFolding, upperAndLowerCaseOfEveryLetterMeet) {
  struct Pair {
    std::string_view upper, lower;
  };
  const std::vector<Pair> pairs{
      {"ABCXYZ", "abcxyz"},
      {"АБВЭЮЯ"_w, "абвэюя"_w},
      {"Ё"_w, "ё"_w},
      // Ђ Ѓ Љ Њ Ќ Ћ Џ Ў Ј Ґ Є Ї І Ѕ
      {"\x80\x81\x8A\x8C\x8D\x8E\x8F\xA1\xA3\xA5\xAA\xAF\xB2\xBD",
       "\x90\x83\x9A\x9C\x9D\x9E\x9F\xA2\xBC\xB4\xBA\xBF\xB3\xBE"},
      {"0123 .,;=-\r\n", "0123 .,;=-\r\n"},
  };
  for (const Pair& pair : pairs) {
    EXPECT_EQ(cp1251Lower(pair.upper), pair.lower);
    EXPECT_EQ(cp1251Lower(pair.lower), pair.lower);
  }
  // Neighbours that only look alike stay apart.
  EXPECT_NE(cp1251Lower("Ё"_w), cp1251Lower("Е"_w));
  EXPECT_NE(cp1251Lower("\xB2"), cp1251Lower("I"));  // Ukrainian І
  EXPECT_NE(cp1251Lower("С"_w), cp1251Lower("C"));
}

TEST(CaptionMatcher, findsTextInAnyCaseAtAnyPlace) {
  struct Case {
    std::string caption;
    std::string text;
    bool found;
  };
  const std::string station = std::string("Станция   Т. "_w) + "          STLEV N=6594.363";
  const std::vector<Case> cases{
      {station, std::string("станция"_w), true},
      {station, std::string("СТАНЦИЯ   т."_w), true},
      {station, "stlev n=6594", true},
      {station, "6594.3630", false},
      {station, std::string("Станция"_w) + "X", false},
      {std::string("Примечание   Ёлка"_w), std::string("ЁЛКА"_w), true},
      {std::string("Примечание   Ёлка"_w), std::string("елка"_w), false},
      {"short", "longer than it", false},
      {"anything", "", true},
      {"", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption + " / " + c.text);
    EXPECT_EQ(CaptionMatcher(c.text).matches(c.caption), c.found);
  }
}

// The wide search must agree with a plain one at every length and place,
// around the sixteen-byte steps above all.
TEST(CaptionMatcher, agreesWithAPlainSearchOnRandomCaptions) {
  const std::string alphabet = std::string("aAbB ") + std::string("яЯёЁ"_w) + "\r";
  std::mt19937 random(15);
  auto randomText = [&](std::size_t size) {
    std::string text;
    for (std::size_t i = 0; i < size; ++i) text += alphabet[random() % alphabet.size()];
    return text;
  };
  for (int round = 0; round < 20000; ++round) {
    const std::string caption = randomText(random() % 70);
    const std::string text = randomText(1 + random() % 4);
    const bool plain = cp1251Lower(caption).find(cp1251Lower(text)) != std::string::npos;
    ASSERT_EQ(CaptionMatcher(text).matches(caption), plain) << caption << " / " << text;
  }
}

// Rows 0..5: station A1, target, position A1, observation A1-B2, a note,
// a header; each captioned by MakeSt.
class FindRow : public testing::Test {
 protected:
  void SetUp() override {
    const std::string blank(14, ' ');
    for (const std::string& line :
         {"02TS" + blank + "A1", std::string("03NM1.600"), "08KI" + blank + "A1", "09F1" + blank + "A1" + blank + "B2",
          std::string("13NMsee b2"), std::string("00NMSDR33  V04-04.02    06-FEB-21 08:36 111111")}) {
      const SurveyRecord record = SurveyRecord::fromText(line, kVersionSdr3);
      list.append(MakeSt(state, record), record);
    }
  }
  std::optional<std::size_t> find(std::string_view text, std::size_t start, Direction direction = Direction::Forward,
                                  RecordKind kind = RecordKind::All) const {
    return findRow(list, CaptionMatcher(text), kind, start, direction);
  }
  CaptionState state;
  RecordList list;
};

TEST_F(FindRow, walksFromTheStartRowAndWrapsAroundEitherEnd) {
  EXPECT_EQ(find("a1", 0), 0u);
  EXPECT_EQ(find("a1", 1), 2u);
  EXPECT_EQ(find("a1", 4), 0u);
  EXPECT_EQ(find("b2", 5), 3u);
  EXPECT_EQ(find("b2", 2, Direction::Backward), 0u + 4);
  EXPECT_EQ(find("a1", 5, Direction::Backward), 3u);
  EXPECT_EQ(find("header", 3, Direction::Backward), 5u);
  EXPECT_EQ(find("absent", 0), std::nullopt);
}

// A text may lie in a fixed text of the caption, or run from one into a field.
TEST_F(FindRow, findsTextsThatTakeInTheCaptionsOwnWords) {
  EXPECT_EQ(find(std::string("ЦЕЛЬ   высота=1.6"_w), 0), 1u);
  EXPECT_EQ(find(std::string("ция   т."_w), 1), 0u);
  EXPECT_EQ(find(std::string("наведения "_w) + std::string(14, ' ') + "b2", 0), 3u);
  EXPECT_EQ(find(std::string("Т."_w) + std::string(15, ' ') + "A1", 1), 2u);
  EXPECT_EQ(find(std::string("Т."_w) + std::string(16, ' ') + "A1", 1), std::nullopt);
}

// Rows whose caption is not made when their line lacks the pieces the
// fields would supply must be exactly those that could not hold the text:
// every piece of every caption (up to 16 bytes), and texts running across the
// fixed words into fields of this row or of another, are found where looking
// at each caption in turn finds them.
TEST_F(FindRow, passesOverNoRowThatLookingAtEveryCaptionWouldFind) {
  const auto plainFind = [&](const std::string& text, std::size_t start) {
    for (std::size_t looked = 0; looked < list.size(); ++looked) {
      const std::size_t row = (start + looked) % list.size();
      if (cp1251Lower(list.caption(row)).find(cp1251Lower(text)) != std::string::npos) return row;
    }
    return list.size();
  };
  const std::string_view gap = "               ";
  const auto join = [](std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts) text += part;
    return text;
  };
  std::vector<std::string> texts{join({"Наведения"_w, gap, "B2"}),
                                 join({"Наведения"_w, gap, "A1"}),
                                 join({"Т."_w, gap, "A1 N="}),
                                 "A1 N=",
                                 "A1    N=",
                                 join({"ты     Т."_w, gap, "A1"}),
                                 join({"Высота=1.600"_w}),
                                 join({"Высота=1.700"_w}),
                                 "=1.6",
                                 join({"Примечание   see"_w}),
                                 join({"Примечание   b2"_w}),
                                 join({"Точка"_w, gap, "A1  Точка наведения"_w}),
                                 join({"A1  Точка наведения"_w, gap, "B2"}),
                                 join({"1  Т"_w}),
                                 join({"B2  Раст.="_w}),
                                 join({"A1  Раст.="_w}),
                                 join({"Станция   Т."_w, gap, "B2"}),
                                 join({"Цель   Высота=1.600"_w}),
                                 std::string(40, ' ')};
  for (std::size_t row = 0; row < list.size(); ++row) {
    const std::string caption(list.caption(row));
    for (std::size_t at = 0; at < caption.size(); ++at)
      for (std::size_t size = 1; size <= 16 && at + size <= caption.size(); ++size)
        texts.push_back(caption.substr(at, size));
  }
  for (const std::string& text : texts) {
    for (std::size_t start : {0u, 3u}) {
      const std::size_t expected = plainFind(text, start);
      const auto found = find(text, start);
      ASSERT_EQ(found.value_or(list.size()), expected) << text << " from " << start;
    }
  }
}

TEST_F(FindRow, aKindLimitsTheRowsLookedAt) {
  const std::vector<std::pair<RecordKind, std::size_t>> kinds{{RecordKind::Station, 0},  {RecordKind::Target, 1},
                                                              {RecordKind::Position, 2}, {RecordKind::Observation, 3},
                                                              {RecordKind::Note, 4},     {RecordKind::All, 5}};
  for (const auto& [kind, row] : kinds) EXPECT_EQ(find("", 5, Direction::Forward, kind), row);
  EXPECT_EQ(find("b2", 0, Direction::Forward, RecordKind::Note), 4u);
  EXPECT_EQ(find("b2", 0, Direction::Forward, RecordKind::Station), std::nullopt);
  EXPECT_FALSE(isOfKind("2", RecordKind::Station));
  EXPECT_FALSE(isOfKind("09 ", RecordKind::Observation));
}

TEST(FindRowEmpty, findsNothingInAnEmptyList) {
  RecordList list;
  EXPECT_EQ(findRow(list, CaptionMatcher(""), RecordKind::All, 0, Direction::Forward), std::nullopt);
}

}  // namespace
}  // namespace quillmar
