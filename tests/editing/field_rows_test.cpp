// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/field_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/cp1251.h"

namespace quillmar {
namespace {

std::string spaces(std::size_t n) { return std::string(n, ' '); }

// ---- fits -------------------------------------------------------------------

struct FitCase {
  std::string value;
  std::size_t width;
  std::string right;  // TF
  std::string left;   // CF
};

class FitTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitTest, givesExactWidthAlignedOrCut) {
  const FitCase& c = GetParam();
  EXPECT_EQ(TF(c.value, c.width), c.right);
  EXPECT_EQ(CF(c.value, c.width), c.left);
}

INSTANTIATE_TEST_SUITE_P(ShorterEqualLonger, FitTest,
                         ::testing::Values(FitCase{"12", 4, "  12", "12  "}, FitCase{"", 3, "   ", "   "},
                                           FitCase{"ABCD", 4, "ABCD", "ABCD"}, FitCase{" P1 ", 4, " P1 ", " P1 "},
                                           FitCase{"ABCDEFGHIJKLMNOPQRST", 16, "ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP"},
                                           FitCase{"12345", 4, "1234", "1234"}, FitCase{"xyz", 0, "", ""}));

TEST(FitValueTest, usesTheRowsFitAndDropsLineEnds) {
  const FieldRow point{"P", 5, 6, Fit::TF};
  const FieldRow note{"N", 11, 6, Fit::CF};
  EXPECT_EQ(FitValue(point, "P1"), "    P1");
  EXPECT_EQ(FitValue(note, "P1"), "P1    ");
  EXPECT_EQ(FitValue(point, "P1\r\n"), "    P1");
  EXPECT_EQ(FitValue(note, "a\rb\nc"), "abc   ");
}

// ---- row tables ---------------------------------------------------------------

struct ExpectedRow {
  std::string_view label;
  std::size_t width;
  Fit fit;
};

struct LayoutCase {
  const char* name;
  std::string_view type;
  char version;
  std::string_view deriv;
  std::vector<ExpectedRow> rows;
  std::size_t lineLength;  // without CR LF
};

// clang-format off
std::vector<LayoutCase> layouts() {
  const auto point = "Точка"_w, note = "Примечание"_w;
  const auto from = "Исх. точка"_w, to = "Точка навед."_w, dist = "Расстояние"_w,
             vert = "Верт. угол"_w, horiz = "Гориз. угол"_w;
  return {
      {"station3", "02", '3', "TS",
       {{point, 16, Fit::TF}, {"N", 16, Fit::CF}, {"E", 16, Fit::CF}, {"Elev", 16, Fit::CF},
        {"Высота прибора"_w, 16, Fit::CF}, {note, 16, Fit::CF}}, 100},
      {"station2", "02", '2', "TS",
       {{point, 4, Fit::TF}, {"N", 10, Fit::CF}, {"E", 10, Fit::CF}, {"Elev", 10, Fit::CF},
        {"Высота прибора"_w, 10, Fit::CF}, {note, 16, Fit::CF}}, 64},
      {"target3", "03", '3', "NM", {{"Высота марки"_w, 16, Fit::CF}}, 20},
      {"target2", "03", '2', "NM", {{"Высота марки"_w, 10, Fit::CF}}, 14},
      {"position3", "08", '3', "XD",
       {{point, 16, Fit::TF}, {"N", 16, Fit::CF}, {"E", 16, Fit::CF}, {"Elev", 16, Fit::CF},
        {note, 16, Fit::CF}}, 84},
      {"position2", "08", '2', "XD",
       {{point, 4, Fit::TF}, {"N", 10, Fit::CF}, {"E", 10, Fit::CF}, {"Elev", 10, Fit::CF},
        {note, 16, Fit::CF}}, 54},
      {"observation3", "09", '3', "F1",
       {{from, 16, Fit::TF}, {to, 16, Fit::TF}, {dist, 16, Fit::CF}, {vert, 16, Fit::CF},
        {horiz, 16, Fit::CF}, {note, 16, Fit::CF}}, 100},
      {"observation2", "09", '2', "F1",
       {{from, 4, Fit::TF}, {to, 4, Fit::TF}, {dist, 10, Fit::CF}, {vert, 10, Fit::CF},
        {horiz, 10, Fit::CF}, {note, 16, Fit::CF}}, 58},
  };
}
// clang-format on

class LayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTest, rowsFollowEachOtherFromPosition5) {
  const LayoutCase& c = GetParam();
  const auto rows = FieldRows(c.type, c.version, c.deriv);
  ASSERT_EQ(rows.size(), c.rows.size());
  std::size_t start = 5;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(rows[i].label, c.rows[i].label);
    EXPECT_EQ(rows[i].start, start);
    EXPECT_EQ(rows[i].width, c.rows[i].width);
    EXPECT_EQ(rows[i].fit, c.rows[i].fit);
    start += rows[i].width;
  }
}

TEST_P(LayoutTest, emptyValuesAssembleALineOfTheLayoutsLength) {
  const LayoutCase& c = GetParam();
  const auto rows = FieldRows(c.type, c.version, c.deriv);
  const std::string line = AssembleLine(c.type, c.deriv, rows, {});
  EXPECT_EQ(line.size(), c.lineLength + 2);
  EXPECT_EQ(line, std::string(c.type) + std::string(c.deriv) + spaces(c.lineLength - 4) + "\r\n");
}

TEST_P(LayoutTest, unchangedValuesAssembleTheSameLine) {
  const LayoutCase& c = GetParam();
  const auto rows = FieldRows(c.type, c.version, c.deriv);
  std::string line = std::string(c.type) + std::string(c.deriv);
  for (std::size_t i = 4; i < c.lineLength; ++i) line.push_back(static_cast<char>('A' + i % 26));
  line[6] = ' ';  // spaces inside a field stay where they are
  line += "\r\n";
  std::vector<std::string> values;
  for (const FieldRow& row : rows) {
    values.push_back(EditableValue(line, row));
    EXPECT_EQ(values.back().size(), row.width);
  }
  EXPECT_EQ(AssembleLine(c.type, c.deriv, rows, values), line);
}

TEST_P(LayoutTest, derivationCodeSelectsOnlyForObservations) {
  const LayoutCase& c = GetParam();
  const auto rows = FieldRows(c.type, c.version, "ZZ");
  EXPECT_EQ(rows.empty(), c.type == "09");
}

INSTANTIATE_TEST_SUITE_P(AllEight, LayoutTest, ::testing::ValuesIn(layouts()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FieldRowsTest, azimuthRowsDifferFromAngleRowsOnlyInTheFifthLabel) {
  for (char version : {'3', '2'}) {
    SCOPED_TRACE(version);
    const auto angle = FieldRows("09", version, "F1");
    const auto azimuth = FieldRows("09", version, "MC");
    ASSERT_EQ(angle.size(), 6u);
    ASSERT_EQ(azimuth.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
      EXPECT_EQ(angle[i].start, azimuth[i].start);
      EXPECT_EQ(angle[i].width, azimuth[i].width);
      EXPECT_EQ(angle[i].fit, azimuth[i].fit);
      if (i != 4) {
        EXPECT_EQ(angle[i].label, azimuth[i].label);
      }
    }
    EXPECT_EQ(angle[4].label, "Гориз. угол"_w);
    EXPECT_EQ(azimuth[4].label, "Гориз. азимут"_w);
  }
}

TEST(FieldRowsTest, f2AndMdGiveTheF1Rows) {
  for (char version : {'3', '2'}) {
    const auto f1 = FieldRows("09", version, "F1");
    EXPECT_EQ(FieldRows("09", version, "F2").data(), f1.data());
    EXPECT_EQ(FieldRows("09", version, "MD").data(), f1.data());
  }
}

struct NoRowsCase {
  std::string_view type;
  char version;
  std::string_view deriv;
};

class NoRowsTest : public ::testing::TestWithParam<NoRowsCase> {};

TEST_P(NoRowsTest, givesNoRows) {
  const NoRowsCase& c = GetParam();
  EXPECT_TRUE(FieldRows(c.type, c.version, c.deriv).empty());
}

INSTANTIATE_TEST_SUITE_P(OtherCombinations, NoRowsTest,
                         ::testing::Values(NoRowsCase{"09", '3', "XX"}, NoRowsCase{"09", '2', "f1"},
                                           NoRowsCase{"09", '3', "F1 "}, NoRowsCase{"09", '3', ""},
                                           NoRowsCase{"02", '1', "TS"}, NoRowsCase{"02", '0', "TS"},
                                           NoRowsCase{"05", '3', "TS"}, NoRowsCase{"05", '2', "TS"},
                                           NoRowsCase{"2", '3', "TS"}, NoRowsCase{"8 ", '3', "XD"},
                                           NoRowsCase{"", '3', ""}));

// ---- reading values -------------------------------------------------------------

TEST(ReadValueTest, shortLineGivesShortThenEmptyValues) {
  const std::string line = "02TS    P1  12.5";  // ends inside "N" (21-36)
  const auto rows = FieldRows("02", '3', "TS");
  EXPECT_EQ(ReadValue(line, rows[0]), "    P1  12.5");
  EXPECT_EQ(ReadValue(line, rows[1]), "");
  EXPECT_EQ(ReadValue("02", rows[0]), "");
  EXPECT_EQ(ReadValue("", rows[0]), "");
}

TEST(ReadValueTest, keepsSpacesAndTheLineEndWhichReassemblingDrops) {
  const std::string line = "02TS" + spaces(14) + "P1" + "1.5 \r\n";
  const auto rows = FieldRows("02", '3', "TS");
  EXPECT_EQ(ReadValue(line, rows[0]), spaces(14) + "P1");
  EXPECT_EQ(ReadValue(line, rows[1]), "1.5 \r\n");
  EXPECT_EQ(EditableValue(line, rows[1]), "1.5 ");
  std::vector<std::string> values;
  for (const FieldRow& row : rows) values.push_back(EditableValue(line, row));
  const std::string assembled = AssembleLine("02", "TS", rows, values);
  EXPECT_EQ(assembled, "02TS" + spaces(14) + "P1" + "1.5 " + spaces(12) + spaces(64) + "\r\n");
  EXPECT_EQ(assembled.find_first_of("\r\n"), assembled.size() - 2);
}

// ---- assembling -------------------------------------------------------------------

TEST(MakeLineTest, joinsCodesUnchangedAndEndsWithCrLf) {
  const std::vector<std::string> fitted = {"ab", "cd"};
  EXPECT_EQ(MakeLine("09", "F1", fitted), "09F1abcd\r\n");
  EXPECT_EQ(MakeLine("0", "", fitted), "0abcd\r\n");
  EXPECT_EQ(MakeLine("", "", {}), "\r\n");
}

TEST(AssembleLineTest, observationVersion2PointNamesAreRightAlignedInFour) {
  const std::vector<std::string> values = {"A", "B12"};
  const std::string line = AssembleLine("09", "F1", FieldRows("09", '2', "F1"), values);
  EXPECT_EQ(line.substr(4, 8), "   A B12");
  EXPECT_EQ(line.size(), 60u);
}

TEST(AssembleLineTest, codesAlwaysFillPositionsOneToFour) {
  const auto rows = FieldRows("03", '3', "NM");
  const std::vector<std::string> values = {"1.5"};
  EXPECT_EQ(AssembleLine("031", "NMX", rows, values).substr(0, 7), "03NM1.5");
  EXPECT_EQ(AssembleLine("03", "", rows, values).substr(0, 7), "03  1.5");
  EXPECT_EQ(AssembleLine("03", "\r\n", rows, values).substr(0, 7), "03  1.5");
  EXPECT_EQ(AssembleLine("0\r\n3", "N\nM", rows, values).substr(0, 7), "03NM1.5");
}

// ---- labels and kinds -------------------------------------------------------------

TEST(RecordTypeLabelTest, concatenatesCodesAndVersion) {
  EXPECT_EQ(RecordTypeLabel("09", "F1", '3'), "\xD2\xE8\xEF \xE7\xE0\xEF\xE8\xF1\xE8 09  F1  v3");
  EXPECT_EQ(RecordTypeLabel("03", "NM", '2'), "Тип записи 03  NM  v2"_w);
}

TEST(RecordKindTest, onlyExactNamesAreFound) {
  ASSERT_NE(FindRecordKind("POS"), nullptr);
  EXPECT_EQ(FindRecordKind("POS")->typeCode, "08");
  EXPECT_EQ(FindRecordKind("POS")->derivCode, "XD");
  EXPECT_EQ(FindRecordKind("pos"), nullptr);
  EXPECT_EQ(FindRecordKind("POS "), nullptr);
  EXPECT_EQ(FindRecordKind("PO"), nullptr);
  EXPECT_EQ(FindRecordKind(""), nullptr);
}

}  // namespace
}  // namespace quillmar
