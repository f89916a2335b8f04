// SPDX-License-Identifier: GPL-3.0-or-later
// What the layers hold for books the survey computes, read back through GDAL.

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gis/dxf_label_style.h"
#include "gis/gis_export.h"
#include "records/cp1251.h"
#include "tests/gis/record_line.h"
#include "tests/support/temp_dir.h"

namespace quillmar::gis {
namespace {

using F = FieldId;

std::string observationTo(std::string_view target, std::string_view horizontal) {
  return recordLine(KindId::Observation, "09F1",
                    {{F::FromPoint, "STN"},
                     {F::ToPoint, std::string(target)},
                     {F::SlopeDistance, "10"},
                     {F::VerticalAngle, "90"},
                     {F::Horizontal, std::string(horizontal)}});
}

// A set-up with a recorded backsight and three targets the survey computes.
RecordList computedBook() {
  // clang-format off
  const std::vector<std::string> lines = {
      recordLine(KindId::Header, "00NM", {{F::AngleUnitCode, "1"}, {F::DistanceUnitCode, "1"},
                                          {F::CoordinateOrderCode, "1"}}),
      recordLine(KindId::Instrument, "01NM", {{F::VerticalAngleZeroCode, "1"}}),
      recordLine(KindId::Station, "02TP", {{F::PointName, "STN"}, {F::Coordinate1, "1000"}, {F::Coordinate2, "2000"},
                                           {F::Coordinate3, "100"}, {F::InstrumentHeight, "1.5"}}),
      recordLine(KindId::Position, "08KI", {{F::PointName, "BS"}, {F::Coordinate1, "1100"}, {F::Coordinate2, "2000"}}),
      recordLine(KindId::Backsight, "07TP", {{F::FromPoint, "STN"}, {F::ToPoint, "BS"}, {F::Azimuth, "0"},
                                             {F::HorizontalAngle, "0"}}),
      observationTo("T1", "0"), observationTo("T2", "90"), observationTo("T3", "180"),
  };
  // clang-format on
  RecordList list;
  CaptionState state;
  for (const std::string& line : lines) list.append(SurveyRecord::fromText(line, '3'), state);
  return list;
}

struct Feature {
  std::string station, target, name;
  int row = 0;
};

std::vector<Feature> features(const std::string& path, const char* layer) {
  std::vector<Feature> read;
  auto* dataset = static_cast<GDALDataset*>(GDALOpenEx(path.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr));
  if (dataset == nullptr) return read;
  for (auto& feature : *dataset->GetLayerByName(layer)) {
    const auto text = [&](const char* name) {
      const int i = feature->GetFieldIndex(name);
      return i >= 0 ? std::string(feature->GetFieldAsString(i)) : std::string();
    };
    const int row = feature->GetFieldIndex("row");
    read.push_back({text("station"), text("target"), text("name"), row >= 0 ? feature->GetFieldAsInteger(row) : 0});
  }
  GDALClose(dataset);
  return read;
}

TEST(GisContent, theSightLinesLayerHoldsEveryLineThePlanDrawsComputedTargetsToo) {
  GDALAllRegister();
  testing::TempDir dir;
  const RecordList list = computedBook();
  const std::string out = dir.file("plan.gpkg");
  const GisExportSummary summary = ExportGis(out, BookFeatures::read(list), GisFormat::GeoPackage, {});
  EXPECT_EQ(summary.sightLines, 3u);
  std::vector<std::string> targets;
  for (const Feature& line : features(out, "sight_lines")) {
    EXPECT_EQ(line.station, "STN");
    targets.push_back(line.target);
  }
  EXPECT_EQ(targets, (std::vector<std::string>{"T1", "T2", "T3"}));
}

// The row a spreadsheet or the program's list shows: the header is row 1.
TEST(GisContent, aFeaturesRowCountsFromOneAsTheListShowsIt) {
  GDALAllRegister();
  testing::TempDir dir;
  const RecordList list = computedBook();
  const std::string out = dir.file("plan.gpkg");
  ExportGis(out, BookFeatures::read(list), GisFormat::GeoPackage, {"", kPointsLayer});
  std::vector<std::pair<std::string, int>> rows;
  for (const Feature& point : features(out, "points")) rows.emplace_back(point.name, point.row);
  EXPECT_EQ(rows, (std::vector<std::pair<std::string, int>>{{"STN", 3}, {"BS", 4}, {"T1", 6}, {"T2", 7}, {"T3", 8}}));
}

TEST(GisContent, pnezdNumbersHaveFourDecimalsAndNoNegativeZero) {
  testing::TempDir dir;
  RecordList list;
  CaptionState state;
  list.append(SurveyRecord::fromText(recordLine(KindId::Position, "08KI",
                                                {{F::PointName, "Z"},
                                                 {F::Coordinate1, "-0.00001"},
                                                 {F::Coordinate2, "12.34567"},
                                                 {F::Coordinate3, "-1.5"}}),
                                     '3'),
              state);
  ExportGis(dir.file("z.csv"), BookFeatures::read(list), GisFormat::Pnezd, {});
  std::ifstream in(dir.file("z.csv"), std::ios::binary);
  std::string header, row;
  std::getline(in, header);
  std::getline(in, row);
  EXPECT_EQ(row, "Z,0.0000,12.3457,-1.5000,\r");
}

// Pulkovo zone 7 eastings carry the zone number (7 500 000): these lie in the ocean.
TEST(GisContent, pointsOutsideTheAreaOfUseAreCountedForAWarningAndStillWritten) {
  GDALAllRegister();
  testing::TempDir dir;
  const RecordList list = computedBook();
  const BookFeatures book = BookFeatures::read(list);
  const GisExportSummary outside = ExportGis(dir.file("a.gpkg"), book, GisFormat::GeoPackage, {"EPSG:28407"});
  EXPECT_EQ(outside.outsideAreaOfUse, 5u);
  EXPECT_NE(outside.areaOfUse.find("Russian Federation"), std::string::npos);
  EXPECT_NE(AreaOfUseWarning(outside).find("5 (Georgia"), std::string::npos);
  EXPECT_EQ(features(dir.file("a.gpkg"), "points").size(), 5u);
  const GisExportSummary inside = ExportGis(dir.file("b.gpkg"), book, GisFormat::GeoPackage, {"EPSG:3857"});
  EXPECT_EQ(inside.outsideAreaOfUse, 0u);
  EXPECT_EQ(AreaOfUseWarning(inside), "");
}

// The group codes and values of a DXF file: the style names of its texts
// and of its table's entries.
struct DxfStyles {
  std::vector<std::string> texts, table;
};

DxfStyles dxfStyles(const std::string& path) {
  DxfStyles styles;
  std::ifstream in(path, std::ios::binary);
  std::string code, value, entity;
  while (std::getline(in, code) && std::getline(in, value)) {
    const int group = std::stoi(code);
    if (group == 0) entity = value;
    if (group == 7 && entity == "MTEXT") styles.texts.push_back(value);
    if (group == 2 && entity == "STYLE") styles.table.push_back(value);
  }
  return styles;
}

// LibreCAD draws a text in the font named like its style; GDAL reads the name back as the book has it.
TEST(GisContent, dxfNamesHaveAStyleOfTheTableNamedAfterACadFontWithCyrillic) {
  GDALAllRegister();
  testing::TempDir dir;
  RecordList list;
  CaptionState state;
  list.append(
      SurveyRecord::fromText(
          recordLine(KindId::Position, "08KI",
                     {{F::PointName, std::string("Щит-Ёж №5"_w)}, {F::Coordinate1, "1000"}, {F::Coordinate2, "2000"}}),
          '3'),
      state);
  const std::string out = dir.file("plan.dxf");
  ExportGis(out, BookFeatures::read(list), GisFormat::Dxf, {});
  const DxfStyles styles = dxfStyles(out);
  EXPECT_EQ(styles.texts, std::vector<std::string>{std::string(kLabelStyle)});
  EXPECT_NE(std::find(styles.table.begin(), styles.table.end(), kLabelStyle), styles.table.end());
  auto* dataset = static_cast<GDALDataset*>(GDALOpenEx(out.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr));
  ASSERT_NE(dataset, nullptr);
  std::vector<std::string> texts;
  for (auto& feature : *dataset->GetLayer(0))
    if (feature->GetFieldIndex("Text") >= 0 && feature->IsFieldSetAndNotNull(feature->GetFieldIndex("Text")))
      texts.emplace_back(feature->GetFieldAsString("Text"));
  GDALClose(dataset);
  EXPECT_EQ(texts, std::vector<std::string>{"Щит-Ёж №5"});
}

// PROJ's own words reach the message, with the point.
TEST(GisContent, aPointOutsideTheProjectionsDomainIsNamedWithTheReason) {
  GDALAllRegister();
  testing::TempDir dir;
  RecordList list;
  CaptionState state;
  list.append(SurveyRecord::fromText(
                  recordLine(KindId::Position, "08KI",
                             {{F::PointName, "FAR"}, {F::Coordinate1, "1000"}, {F::Coordinate2, "5000000000000"}}),
                  '3'),
              state);
  try {
    ExportGis(dir.file("far.kml"), BookFeatures::read(list), GisFormat::Kml, {"EPSG:32637"});
    ADD_FAILURE() << "no error";
  } catch (const GisError& error) {
    EXPECT_EQ(error.problem(), GisProblem::PointOutsideCrs);
    EXPECT_EQ(error.file(), dir.file("far.kml"));
    EXPECT_NE(GisErrorText(error).find("\"FAR\": Point outside of projection domain"), std::string::npos)
        << GisErrorText(error);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("far.kml")));
}

}  // namespace
}  // namespace quillmar::gis
