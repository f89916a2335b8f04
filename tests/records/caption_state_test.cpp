// SPDX-License-Identifier: GPL-3.0-or-later
// Captions and the state that header, instrument and job records leave for
// the captions after them; records without a caption; short and clipped lines.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "records/cp1251.h"
#include "records/make_st.h"
#include "tests/records/captions_support.h"

namespace quillmar {
namespace {

using namespace testing;  // the caption helpers

// ---------------------------------------------------------------------------
// Which code sets which setting to which text.

using StateText = std::string_view CaptionState::*;

struct SettingCase {
  std::string_view codes;
  char version;
  std::size_t position;
  char code;
  StateText setting;
  std::string_view text;
};

TEST(CaptionSettings, EachListedCodeSetsItsTextAndBlankKeepsIt) {
  const SettingCase cases[] = {
      {"00NM", '3', 41, '1', &CaptionState::angleUnit, "Гр"_w},
      {"00NM", '2', 41, '2', &CaptionState::angleUnit, "Gons"_w},
      {"00NM", '3', 41, '3', &CaptionState::angleUnit, "Mils"_w},
      {"00NM", '3', 42, '1', &CaptionState::distanceUnit, "М"_w},
      {"00NM", '2', 42, '2', &CaptionState::distanceUnit, "Футы"_w},
      {"00NM", '3', 43, '1', &CaptionState::pressureUnit, "MmHg"_w},
      {"00NM", '3', 43, '2', &CaptionState::pressureUnit, "InchHg"_w},
      {"00NM", '2', 43, '3', &CaptionState::pressureUnit, "Mbar"_w},
      {"00NM", '3', 44, '1', &CaptionState::temperatureUnit, "Гр. Цельсия"_w},
      {"00NM", '2', 44, '2', &CaptionState::temperatureUnit, "Гр. Фаренгейта"_w},
      {"00NM", '3', 45, '1', &CaptionState::coordinateOrder, "N-E-Elev"_w},
      {"00NM", '2', 45, '2', &CaptionState::coordinateOrder, "E-N-Elev"_w},
      {"01NM", '3', 50, '1', &CaptionState::edmMounting, "Telescope"_w},
      {"01NM", '2', 50, '2', &CaptionState::edmMounting, "Standarts"_w},
      {"01NM", '3', 50, '3', &CaptionState::edmMounting, "Not applicable"_w},
      {"01NM", '3', 51, '1', &CaptionState::verticalAngleZero, "Zenith"_w},
      {"01NM", '2', 51, '2', &CaptionState::verticalAngleZero, "Horiz"_w},
      {"10NM", '3', 21, '1', &CaptionState::pointIdType, "14"_w},
      {"10NM", '3', 22, '1', &CaptionState::includeElevation, "Нет"_w},
      {"10NM", '3', 22, '2', &CaptionState::includeElevation, "Да"_w},
      {"10NM", '3', 23, '1', &CaptionState::atmosCorrection, "Нет"_w},
      {"10NM", '3', 23, '2', &CaptionState::atmosCorrection, "Да"_w},
      {"10NM", '3', 24, '1', &CaptionState::crCorrection, "Нет"_w},
      {"10NM", '3', 24, '2', &CaptionState::crCorrection, "Да"_w},
      {"10NM", '3', 25, '1', &CaptionState::refractionConstant, "0.14"_w},
      {"10NM", '3', 25, '2', &CaptionState::refractionConstant, "0.20"_w},
      {"10NM", '3', 26, '1', &CaptionState::seaLevelCorrection, "Нет"_w},
      {"10NM", '3', 26, '2', &CaptionState::seaLevelCorrection, "Да"_w},
  };
  for (const SettingCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.codes << " v" << c.version << " @" << c.position << "=" << c.code);
    CaptionState state;
    std::string line = blankLine(c.codes, 60);
    line[c.position - 1] = c.code;
    MakeSt(state, SurveyRecord::fromLine(line, c.version));
    EXPECT_EQ(state.*c.setting, c.text);
    for (char unlisted : {' ', '0', '9', 'x'}) {
      line[c.position - 1] = unlisted;
      MakeSt(state, SurveyRecord::fromLine(line, c.version));
      EXPECT_EQ(state.*c.setting, c.text) << "after '" << unlisted << "'";
    }
  }
}

TEST(CaptionSettings, UnlistedCodesNeverSetAnything) {
  CaptionState state;
  MakeSt(state, SurveyRecord::fromLine(left("10NM", 20) + "222222\r\n", kVersionSdr3));
  MakeSt(state, SurveyRecord::fromLine(left("00NM", 40) + "44444\r\n", kVersionSdr3));
  MakeSt(state, SurveyRecord::fromLine(left("01NM", 49) + "44\r\n", kVersionSdr3));
  EXPECT_TRUE(state.pointIdType.empty());  // only '1' sets it
  EXPECT_TRUE(state.angleUnit.empty());
  EXPECT_TRUE(state.distanceUnit.empty());
  EXPECT_TRUE(state.pressureUnit.empty());
  EXPECT_TRUE(state.temperatureUnit.empty());
  EXPECT_TRUE(state.coordinateOrder.empty());
  EXPECT_TRUE(state.instrumentModel.empty());
  EXPECT_TRUE(state.edmMounting.empty());
  EXPECT_TRUE(state.verticalAngleZero.empty());
  EXPECT_EQ(state.includeElevation, "Да"_w);
}

struct ModelCase {
  char code;
  std::string_view model;
};

TEST_F(Captions, InstrumentModelCodes) {
  // clang-format off
  const ModelCase cases[] = {
      {'1', "Sokkia Manual"}, {'3', "Sokkia SET5A"}, {'4', "Sokkia DT4/5/5A/20"},
      {'5', "Sokkia DT5 RedMini Combo"}, {'6', "Sokkia SDM3E"}, {'7', "Sokkia SDM3ER"},
      {'8', "Sokkia SDM3F"}, {'9', "Sokkia SDM3FR"}, {':', "Sokkia SET (old)"},
      {';', "Sokkia DT 2/4"}, {'<', "Sokkia REDMini"}, {'>', "Sokkia Net2"},
      {'=', "Sokkia SET (2c) or SET C"}, {'N', "Wild T1000DI"}, {'O', "Wild T2000DI"},
      {'P', "Wild T1600DI"}, {'h', "Laser Range Finder ProServey 1000"},
      {'i', "Laser Range Finder Criterion 400"}, {'Q', "Wild T1000"}, {'R', "Wild T2000"},
      {'S', "Wild T1600"}, {'T', "Wild T1010"}, {'U', "Wild T1010DI"}, {'V', "Wild TC500/TC600"},
      {'D', "Topcon GTS3"}, {'E', "Topcon GTS3/ET1/ET2"}, {'I', "Topcon GTS300"},
      {'c', "Pentax II or III"}, {'b', "Pentax PTS10"}, {'v', "Nikon D50"},
      {'w', "Nikon A series"}, {'g', "Geodimeter 400/500"}, {']', "Elta 3"}, {'x', "Elta 46"},
      {'y', "Elta Zeiss RL"},
  };
  // clang-format on
  for (const ModelCase& c : cases) {
    for (char version : {kVersionSdr3, kVersionSdr2}) {
      const std::string caption = this->caption(cat({"01NM", std::string(1, c.code), kCrLf}), version);
      EXPECT_EQ(caption.substr(0, caption.find(" Описание EDM "_w)), cat({"Инструмент  Тип EDM "_w, c.model}))
          << c.code;
    }
  }
}

TEST_F(Captions, UnknownInstrumentModelShowsThePreviousOne) {
  const std::string prefix = cat({"Инструмент  Тип EDM "_w, " Описание EDM "_w});
  EXPECT_EQ(sdr3("01NM2\r\n").substr(0, prefix.size()), prefix);
  sdr3("01NMc\r\n");
  const std::string pentax = cat({"Инструмент  Тип EDM "_w, "Pentax II or III", " Описание EDM "_w});
  EXPECT_EQ(sdr3("01NMC\r\n").substr(0, pentax.size()), pentax);
  EXPECT_EQ(sdr2("01NM2\r\n").substr(0, pentax.size()), pentax);
}

// ---------------------------------------------------------------------------
// One CaptionState for every book: what the last setting record left shows.

TEST_F(Captions, AtmosphereBeforeAnyHeaderShowsNoUnits) {
  const std::string p = right("1013.0", 16), t = right("21.5", 16);
  EXPECT_EQ(sdr3(cat({"05NM", p, t, kCrLf})), cat({"Атмосфера    Давление="_w, p, "  Температура="_w, t}));
}

TEST_F(Captions, HeaderOfOneBookSetsUnitsOfTheNextBook) {
  // First book: its own header and atmosphere record.
  header("22211");
  const std::string p = right("29.92", 16), t = right("70.0", 16);
  const std::string atmosphere = cat({"05NM", p, t, kCrLf});
  const std::string withFirstUnits =
      cat({"Атмосфера    Давление="_w, p, "InchHg"_w, "  Температура="_w, t, "Гр. Цельсия"_w});
  EXPECT_EQ(sdr3(atmosphere), withFirstUnits);
  // Second book, without a header: the first book's units still show.
  EXPECT_EQ(sdr3(atmosphere), withFirstUnits);
  // A third book's header changes them for what follows only.
  header("22322", kVersionSdr2);
  EXPECT_EQ(sdr3(atmosphere),
            cat({"Атмосфера    Давление="_w, p, "Mbar"_w, "  Температура="_w, t, "Гр. Фаренгейта"_w}));
}

TEST_F(Captions, InstrumentShowsDistanceUnitOfTheLastHeader) {
  const std::string line = cat({left("01NM", 51), right("0.1", 16), right("0.2", 16), right("-30", 16), kCrLf});
  const std::string first = sdr3(line);
  EXPECT_EQ(first.find("М"_w), std::string::npos);
  header("11111");
  const std::string second = sdr3(line);
  EXPECT_NE(second.find(cat(
                {right("0.1", 16), "М"_w, "  Refflector offset "_w, right("0.2", 16), "М"_w, "  Конст. призмы,мм "_w})),
            std::string::npos);
}

// ---------------------------------------------------------------------------
// Records without a caption template show their whole line.

struct UncaptionedCase {
  std::string_view typeCode;
  std::string_view derivCode;
  char version;
};

TEST(UncaptionedRecords, ShowTheWholeBodyAndSetNothing) {
  const std::string body = cat({"00NM", left("SDR33", 36), "11111", kCrLf});
  const UncaptionedCase cases[] = {
      {"12", "NM", '3'}, {"14", "NM", '2'},  {"66", "NM", '3'},          {"99", "NM", '3'},
      {"0", "NM", '3'},  {"000", "NM", '3'}, {" 0", "NM", '3'},          {"", "", '3'},
      {"0A", "NM", '3'}, {"1\r", "\n", '3'}, {"00", "NM", kVersionNone}, {"00", "NM", '4'},
      {"00", "NM", 'S'}, {"08", "NM", '\0'}, {"01", "NM", '1'},          {"10", "NM", '0'},
      {"09", "F3", '3'}, {"09", "mc", '3'},  {"09", "Md", '2'},          {"09", "M", '3'},
      {"09", "", '2'},   {"09", "MCX", '3'}, {"09", "NM", '3'},
  };
  for (const UncaptionedCase& c : cases) {
    CaptionState state;
    std::string out = "left over";
    MakeStInto(out, state, body, c.typeCode, c.derivCode, c.version);
    EXPECT_EQ(out, body) << c.typeCode << "/" << c.derivCode << "/" << c.version;
    EXPECT_TRUE(state.angleUnit.empty());
    EXPECT_TRUE(state.distanceUnit.empty());
  }
}

TEST(UncaptionedRecords, EmptyBodyGivesEmptyCaption) {
  CaptionState state;
  EXPECT_EQ(MakeSt(state, "", "12", "NM", '3'), "");
}

TEST_F(Captions, TheGivenTypeCodeDecidesNotTheBody) {
  // A record whose type was edited separately from its line.
  EXPECT_EQ(MakeSt(state, "08TP1234\r\n", "13", "TP", kVersionSdr3), cat({"Примечание   "_w, "1234\r\n"}));
  EXPECT_EQ(MakeSt(state, "13TP1234\r\n", "12", "TP", kVersionSdr3), "13TP1234\r\n");
}

// ---------------------------------------------------------------------------
// Short lines: what exists of a field, literals always.

TEST_F(Captions, FieldsPastTheEndAreEmptyButLiteralsStay) {
  EXPECT_EQ(sdr3("08TP1001\r\n"),
            cat({"Координаты     Т. "_w, "1001\r\n", "    N="_w, "  E="_w, "  Elev="_w, "   Прим "_w}));
  EXPECT_EQ(sdr2("08"), cat({"Координаты     Т. "_w, "    N="_w, "  E="_w, "  Elev="_w, "   Прим "_w}));
  EXPECT_EQ(MakeSt(state, "", "65", "", kVersionSdr2), "Level offset= "_w);
}

TEST_F(Captions, FieldCutShortKeepsWhatExists) {
  const std::string id = left("ST01", 16), n = right("5000.000", 16);
  EXPECT_EQ(sdr3(cat({"02TP", id, n, "  3000", kCrLf})),
            cat({"Станция   Т. "_w, id, " N="_w, n, " E="_w, "  3000\r\n", "  Elev="_w, "  Высота прибора "_w,
                 "  Описание станции "_w}));
}

TEST_F(Captions, HeaderEndingAmongItsCodesSetsOnlyThosePresent) {
  header("22222");
  const std::string caption = sdr3(cat({left("00NM", 40), "1", kCrLf}));
  // 41 is '1'; 42 and 43 hold CR and LF; 44 and 45 lie past the end.
  EXPECT_EQ(state.angleUnit, "Гр"_w);
  EXPECT_EQ(state.distanceUnit, "Футы"_w);
  EXPECT_EQ(state.pressureUnit, "InchHg"_w);
  EXPECT_EQ(state.temperatureUnit, "Гр. Фаренгейта"_w);
  EXPECT_EQ(state.coordinateOrder, "E-N-Elev"_w);
  EXPECT_NE(caption.find(cat({" Единицы: Углы-"_w, "Гр"_w, " Расстояния-"_w, "Футы"_w})), std::string::npos);
}

TEST_F(Captions, BodyClippedAtCapacityIsCaptionedAsStored) {
  // 169 characters of text keep only the CR of the line end.
  std::string text = cat({"13TS", std::string(165, 'n')});
  const SurveyRecord record = SurveyRecord::fromLine(text + "\r\n", kVersionSdr3);
  ASSERT_EQ(record.body.view().size(), kBodyCapacity);
  EXPECT_EQ(MakeSt(state, record), cat({"Примечание   "_w, std::string(60, 'n')}));
  EXPECT_EQ(sdr2("03NM1.5\r"), cat({"Цель   Высота="_w, "1.5\r"}));
}

TEST(MakeStInto, ReplacesWhatTheBufferHeld) {
  CaptionState state;
  std::string out(300, '#');
  MakeStInto(out, state, "65NM     0.250\r\n", "65", "NM", kVersionSdr2);
  EXPECT_EQ(out, cat({"Level offset= "_w, "     0.250"}));
  MakeStInto(out, state, "12NMxyz\r\n", "12", "NM", kVersionSdr2);
  EXPECT_EQ(out, "12NMxyz\r\n");
}

}  // namespace
}  // namespace quillmar
