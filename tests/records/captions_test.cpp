// SPDX-License-Identifier: GPL-3.0-or-later
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
// The literals that the tests below expect, with the lengths of the caption
// tables; a wrong letter or a lost blank changes the length.

struct LiteralCase {
  std::string_view literal;
  std::size_t length;
};

TEST(CaptionLiterals, HaveTheirTableLengths) {
  // clang-format off
  const LiteralCase cases[] = {
      {"HEADER Версия "_w, 14}, {"  С\\н "_w, 6}, {"  Дата\\Время "_w, 13},
      {" Единицы: Углы-"_w, 15}, {" Расстояния-"_w, 12}, {" Давление-"_w, 10},
      {" Температура-"_w, 13}, {" Коорд. сист.-"_w, 14},
      {"Инструмент  Тип EDM "_w, 20}, {" Описание EDM "_w, 14}, {"  С/н EDM "_w, 10},
      {"  Опис. теод. "_w, 14}, {"  C/н теод. "_w, 12}, {" MT-"_w, 4},
      {"  Верт. углы "_w, 13}, {"  EDM offset "_w, 13}, {"  Refflector offset "_w, 20},
      {"  Конст. призмы,мм "_w, 19},
      {"Станция   Т. "_w, 13}, {" N="_w, 3}, {" E="_w, 3}, {"  Elev="_w, 7},
      {"  Высота прибора "_w, 17}, {"  Описание станции "_w, 19},
      {"Цель   Высота="_w, 14},
      {"Колимация    Гориз.="_w, 20}, {"  Вертик.="_w, 10},
      {"Атмосфера    Давление="_w, 22}, {"  Температура="_w, 14},
      {"Масштабный коэф. "_w, 17},
      {"BKB    Исходная точка "_w, 22}, {"   Точка наведения "_w, 19}, {"   Азимут "_w, 10},
      {"   Горизонтальный угол "_w, 23},
      {"Координаты     Т. "_w, 18}, {"    N="_w, 6}, {"  E="_w, 4}, {"   Прим "_w, 8},
      {" Углы   Исх. точка "_w, 19}, {"  Точка наведения "_w, 18}, {"  Раст.="_w, 8},
      {"  Верт. угол="_w, 13}, {"  Гориз. угол="_w, 14}, {"  Гориз. азимут="_w, 16},
      {"   Прим. "_w, 9},
      {"JOB   Идентификатор "_w, 20}, {"  Тип идент. точки: "_w, 20},
      {"  Include elevation: "_w, 21}, {"  Atmos correction: "_w, 20},
      {"  C & R correction: "_w, 20}, {"  Refraction constant="_w, 22},
      {"  Sea level correction: "_w, 24},
      {"RED   Исходная точка: "_w, 22}, {"   Точка наведения: "_w, 20}, {"   Азимут= "_w, 11},
      {"   Горизонтальное расстояние= "_w, 30}, {"   Вертикальное расстояние= "_w, 28},
      {"   Описание "_w, 12},
      {"Примечание   "_w, 13},
      {"Инструмент Level type: "_w, 23}, {"   Description: "_w, 16},
      {"   Serial number: "_w, 18}, {"   Stadia: "_w, 11},
      {"Level elevation Pointid= "_w, 25}, {"   Elevation "_w, 13},
      {"Level station  Station number= "_w, 31}, {"   BsPointId= "_w, 14},
      {"   Turning point count= "_w, 24},
      {"Level observation 1 wire  Pointid= "_w, 35}, {"Level observation 3 wire  Pointid= "_w, 35},
      {"   Distance= "_w, 13}, {" Middle Wire Reading= "_w, 22}, {"  Description: "_w, 15},
      {"  Station number= "_w, 18}, {"  IsABs= "_w, 9}, {"  IsATP= "_w, 9}, {"  Offset= "_w, 10},
      {"  Top Wire Reading= "_w, 20}, {"  Low Wire Reading= "_w, 20},
      {"Level offset= "_w, 14},
  };
  // clang-format on
  for (const LiteralCase& c : cases) EXPECT_EQ(c.literal.size(), c.length) << c.literal;
}

TEST(CaptionLiterals, LettersThatReadBothWaysAreInTheRightAlphabet) {
  EXPECT_EQ("Станция   Т. "_w[10], '\xD2');  // Cyrillic Т
  EXPECT_EQ("Координаты     Т. "_w[15], '\xD2');
  EXPECT_EQ("  С/н EDM "_w[2], '\xD1');           // Cyrillic С
  EXPECT_EQ("  С\\н "_w.substr(2, 2), "\xD1\\");  // Cyrillic С, one backslash
  EXPECT_EQ("  C/н теод. "_w[2], 'C');            // Latin C
  EXPECT_EQ("  Дата\\Время "_w[6], '\\');
  EXPECT_EQ("М"_w, "\xCC");
  EXPECT_EQ("BKB    Исходная точка "_w.substr(0, 3), "BKB");
}

// ---------------------------------------------------------------------------
// Every record kind in both layouts, from a complete line.

TEST_F(Captions, HeaderShowsItsFieldsAndItsOwnUnits) {
  const std::string sw = left("SDR33 V04-04.02", 16);
  const std::string date = left("06-Jan-04 13:45", 16);
  const std::string expected = cat({"HEADER Версия "_w, sw, "  С\\н "_w, "0042", "  Дата\\Время "_w, date,
                                    " Единицы: Углы-"_w, "Гр"_w, " Расстояния-"_w, "М"_w, " Давление-"_w, "MmHg"_w,
                                    " Температура-"_w, "Гр. Цельсия"_w, " Коорд. сист.-"_w, "N-E-Elev"_w});
  EXPECT_EQ(header("11111", kVersionSdr3), expected);
  EXPECT_EQ(header("11111", kVersionSdr2), expected);
}

TEST_F(Captions, LaterHeaderKeepsUnitsForUnlistedCodes) {
  header("11111");
  const std::string caption = header("42222");
  EXPECT_EQ(caption.substr(caption.find(" Единицы: Углы-"_w)),
            cat({" Единицы: Углы-"_w, "Гр"_w, " Расстояния-"_w, "Футы"_w, " Давление-"_w, "InchHg"_w, " Температура-"_w,
                 "Гр. Фаренгейта"_w, " Коорд. сист.-"_w, "E-N-Elev"_w}));
}

TEST_F(Captions, InstrumentBothLayouts) {
  header("12111");
  const std::string edm = left("SET530R", 16), edmSerial = "112233";
  const std::string theo = left("SET530R THEO", 16), theoSerial = "445566";
  const std::string described = cat({"Инструмент  Тип EDM "_w, "Sokkia Net2"_w, " Описание EDM "_w, edm, "  С/н EDM "_w,
                                     edmSerial, "  Опис. теод. "_w, theo, "  C/н теод. "_w, theoSerial});
  const std::string settings = cat({" MT-"_w, "Standarts"_w, "  Верт. углы "_w, "Horiz"_w});
  const auto expected = [&](std::string_view edmOffset, std::string_view reflectorOffset, std::string_view prism) {
    return cat({described, settings, "  EDM offset "_w, edmOffset, "Футы"_w, "  Refflector offset "_w, reflectorOffset,
                "Футы"_w, "  Конст. призмы,мм "_w, prism});
  };
  const std::string off3 = right("0.120", 16), refl3 = right("0.035", 16), prism3 = right("-30", 16);
  EXPECT_EQ(sdr3(cat({"01NM>", edm, edmSerial, theo, theoSerial, "22", off3, refl3, prism3, kCrLf})),
            expected(off3, refl3, prism3));
  const std::string off2 = right("0.120", 10), refl2 = right("0.035", 10), prism2 = right("-30", 10);
  EXPECT_EQ(sdr2(cat({"01NM>", edm, edmSerial, theo, theoSerial, "22", off2, refl2, prism2, kCrLf})),
            expected(off2, refl2, prism2));
}

TEST_F(Captions, TargetBothLayouts) {
  const std::string h3 = right("1.500", 16);
  EXPECT_EQ(sdr3(cat({"03NM", h3, kCrLf})), cat({"Цель   Высота="_w, h3}));
  // SDR2x shows four characters more than the height field holds.
  EXPECT_EQ(sdr2("03NM     1.500ABCDEF\r\n"), cat({"Цель   Высота="_w, "     1.500ABCD"}));
  EXPECT_EQ(sdr2("03NM     1.500\r\n"), cat({"Цель   Высота="_w, "     1.500\r\n"}));
}

TEST_F(Captions, AtmosphereBothLayoutsWithUnits) {
  header("11311");
  const std::string p3 = right("1013.0", 16), t3 = right("21.5", 16);
  EXPECT_EQ(sdr3(cat({"05NM", p3, t3, kCrLf})),
            cat({"Атмосфера    Давление="_w, p3, "Mbar"_w, "  Температура="_w, t3, "Гр. Цельсия"_w}));
  // SDR2x temperature runs over positions 15-38, which here reach the line end.
  const std::string p2 = right("760.0", 10), t2 = right("21.5", 10);
  EXPECT_EQ(sdr2(cat({"05NM", p2, t2, kCrLf})),
            cat({"Атмосфера    Давление="_w, p2, "Mbar"_w, "  Температура="_w, t2, kCrLf, "Гр. Цельсия"_w}));
  const std::string t2long = left("21.5", 24);
  EXPECT_EQ(sdr2(cat({"05NM", p2, t2long, "XYZ", kCrLf})),
            cat({"Атмосфера    Давление="_w, p2, "Mbar"_w, "  Температура="_w, t2long, "Гр. Цельсия"_w}));
}

// Kinds whose caption is each label followed by its field, in line order.
struct Field {
  std::string_view label;
  std::string sdr3;
  std::string sdr2;
};

struct FieldsCase {
  std::string_view codes;
  std::vector<Field> fields;
};

std::vector<FieldsCase> fieldsCases() {
  const std::string one = "    1", zero = "    0", desc = left("PEG", 16);
  const std::vector<Field> levelObservation = {{"   Distance= "_w, right("35.20", 16), right("35.20", 10)},
                                               {" Middle Wire Reading= "_w, right("1.4525", 16), right("1.4525", 10)},
                                               {"  Description: "_w, desc, desc},
                                               {"  Station number= "_w, "    4", "    4"},
                                               {"  IsABs= "_w, one, one},
                                               {"  IsATP= "_w, zero, zero},
                                               {"  Offset= "_w, right("0.000", 16), right("0.000", 10)}};
  auto oneWire = levelObservation, threeWire = levelObservation;
  oneWire.insert(oneWire.begin(), Field{"Level observation 1 wire  Pointid= "_w, left("TP1", 16), " TP1"});
  threeWire.insert(threeWire.begin(), Field{"Level observation 3 wire  Pointid= "_w, left("TP1", 16), " TP1"});
  threeWire.push_back({"  Top Wire Reading= "_w, right("1.6285", 16), right("1.6285", 10)});
  threeWire.push_back({"  Low Wire Reading= "_w, right("1.2765", 16), right("1.2765", 10)});
  const auto num = [](std::string_view text) -> Field { return {"", right(text, 16), right(text, 10)}; };
  const auto with = [](std::string_view label, Field field) {
    field.label = label;
    return field;
  };
  std::vector<FieldsCase> cases;
  for (std::string_view code : {"09F1", "09F2", "09MD", "09MC"}) {
    const std::string_view horizontal = code == "09MC" ? "  Гориз. азимут="_w : "  Гориз. угол="_w;
    cases.push_back({code,
                     {{" Углы   Исх. точка "_w, left("ST01", 16), "   1"},
                      {"  Точка наведения "_w, left("P7", 16), "   7"},
                      with("  Раст.="_w, num("123.456")),
                      with("  Верт. угол="_w, num("90.1230")),
                      with(horizontal, num("12.3456")),
                      {"   Прим. "_w, left("CORNER", 16), left("CORNER", 16)}}});
  }
  cases.insert(cases.end(),
               {
                   {"02TP",
                    {{"Станция   Т. "_w, left("ST01", 16), "  17"},
                     with(" N="_w, num("5000.000")),
                     with(" E="_w, num("3000.000")),
                     with("  Elev="_w, num("101.250")),
                     with("  Высота прибора "_w, num("1.550")),
                     {"  Описание станции "_w, left("BASE", 16), left("BASE", 16)}}},
                   {"04NM", {with("Колимация    Гориз.="_w, num("0.0012")), with("  Вертик.="_w, num("-0.0008"))}},
                   {"06NM", {{"Масштабный коэф. "_w, right("0.99960000", 16), right("0.999600", 10)}}},
                   {"07TP",
                    {{"BKB    Исходная точка "_w, left("ST01", 16), "   1"},
                     {"   Точка наведения "_w, left("ST02", 16), "   2"},
                     with("   Азимут "_w, num("45.3020")),
                     with("   Горизонтальный угол "_w, num("0.0000"))}},
                   {"08KI",
                    {{"Координаты     Т. "_w, left("P100", 16), " 100"},
                     with("    N="_w, num("5012.345")),
                     with("  E="_w, num("3021.456")),
                     with("  Elev="_w, num("99.870")),
                     {"   Прим "_w, left("FENCE", 16), left("FENCE", 16)}}},
                   {"11KI",
                    {{"RED   Исходная точка: "_w, left("ST01", 16), "   1"},
                     {"   Точка наведения: "_w, left("P9", 16), "   9"},
                     with("   Азимут= "_w, num("182.4530")),
                     with("   Горизонтальное расстояние= "_w, num("55.120")),
                     with("   Вертикальное расстояние= "_w, num("-1.305")),
                     {"   Описание "_w, left("KERB", 16), left("KERB", 16)}}},
                   {"60NM",
                    {{"Инструмент Level type: "_w, "3", "3"},
                     {"   Description: "_w, left("SDL30", 16), left("SDL30", 16)},
                     {"   Serial number: "_w, "778899", "778899"},
                     with("   Stadia: "_w, num("100.0"))}},
                   {"61NM",
                    {{"Level elevation Pointid= "_w, left("BM1", 16), " BM1"},
                     {"   Description: "_w, left("BENCH MARK", 16), left("BENCH MARK", 16)},
                     with("   Elevation "_w, num("101.000"))}},
                   {"62NM",
                    {{"Level station  Station number= "_w, "    3", "    3"},
                     {"   BsPointId= "_w, left("BM1", 16), " BM1"},
                     {"   Turning point count= "_w, "    2", "    2"}}},
                   {"63NM", oneWire},
                   {"64NM", threeWire},
                   {"65NM", {with("Level offset= "_w, num("0.250"))}},
               });
  return cases;
}

TEST_F(Captions, LabelledFieldKindsBothLayouts) {
  header("11112");  // units and E-N order change none of these captions
  for (const FieldsCase& c : fieldsCases()) {
    std::string line3(c.codes), line2(c.codes), caption3, caption2;
    for (const Field& f : c.fields) {
      line3 += f.sdr3;
      line2 += f.sdr2;
      caption3 += cat({f.label, f.sdr3});
      caption2 += cat({f.label, f.sdr2});
    }
    EXPECT_EQ(sdr3(line3 + std::string(kCrLf)), caption3) << c.codes;
    EXPECT_EQ(sdr2(line2 + std::string(kCrLf)), caption2) << c.codes;
  }
}

TEST_F(Captions, Sdr3JobShowsItsSettings) {
  const std::string name = left("JOB-0412", 16);
  EXPECT_EQ(sdr3(cat({"10NM", name, "121212", kCrLf})),
            cat({"JOB   Идентификатор "_w, name, "  Тип идент. точки: "_w, "14"_w, "  Include elevation: "_w, "Да"_w,
                 "  Atmos correction: "_w, "Нет"_w, "  C & R correction: "_w, "Да"_w, "  Refraction constant="_w,
                 "0.14"_w, "  Sea level correction: "_w, "Да"_w}));
}

TEST_F(Captions, Sdr2JobShowsOnlyItsNameAndSetsNothing) {
  const std::string name = left("JOB-0412", 16);
  sdr3(cat({"10NM", name, "111111", kCrLf}));
  EXPECT_EQ(sdr2(cat({"10NM", name, "222222", kCrLf})), cat({"JOB   Идентификатор "_w, name}));
  EXPECT_EQ(state.includeElevation, "Нет"_w);
  EXPECT_EQ(state.refractionConstant, "0.14"_w);
}

TEST_F(Captions, NoteTakesSixtyCharactersInBothLayouts) {
  const std::string full = left("Control traverse, second loop", 60);
  EXPECT_EQ(sdr3(cat({"13TS", full, "tail", kCrLf})), cat({"Примечание   "_w, full}));
  EXPECT_EQ(sdr2(cat({"13TS", full, kCrLf})), cat({"Примечание   "_w, full}));
  // A short note line keeps its line end in the caption.
  EXPECT_EQ(sdr2("13TSRain\r\n"), cat({"Примечание   "_w, "Rain\r\n"}));
}

}  // namespace
}  // namespace quillmar
