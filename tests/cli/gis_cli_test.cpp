// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/cli/cli_run.h"
#include "tests/support/temp_dir.h"
#include "tests/survey/adjust_book.h"

namespace quillmar {
namespace {

// The temporary folders, their files and the runs of quillmar-cli.
using namespace testing;

const std::string kBook =
    "00NMSDR33  V04-04.02    06-FEB-21 08:36 111111\r\n"
    "02TS              S1 6200000.000      500000.000         100.000           1.550start           \r\n"
    "09F1              S1              T1          25.123         90.1234        180.0000note            \r\n"
    "08KI              T1 6200010.000      500010.000         101.000mark            \r\n";

TEST(CliGis, exportWritesEachKindOrSaysWhyNot) {
  const struct {
    std::string args;
    int status;
    std::string message;  // a part of stderr; "" for none at all
    std::string written;  // a file that must exist afterwards
  } cases[] = {
      {"export gpkg book.sdr out.gpkg", 0, "", "out.gpkg"},
      {"export shp book.sdr out.shp --layers points --crs EPSG:32637", 0, "", "out_points.prj"},
      {"export dxf book.sdr out.dxf --layers sight_lines", 0, "", "out.dxf"},
      {"export pnezd book.sdr out.txt", 0, "", "out.txt"},
      {"export geojson book.sdr out.geojson --crs EPSG:32637", 0, "", "out_points.geojson"},
      {"export kml book.sdr out.kml --crs '+proj=utm +zone=37 +datum=WGS84'", 0, "", "out.kml"},
      {"export gpkg empty.sdr empty.gpkg", 0, "no point has coordinates", "empty.gpkg"},
      {"export kml book.sdr x.kml", 1, "give the book's coordinate system", ""},
      {"export gpkg book.sdr x.gpkg --crs EPSG:999999", 1, "not known to PROJ: EPSG:999999", ""},
      {"export gpkg book.sdr missing/x.gpkg", 1, "missing/x.gpkg: File not found", ""},
      {"export gpkg nothing.sdr x.gpkg", 1, "nothing.sdr: File not found", ""},
      {"export gpkg book.sdr x.gpkg --layers points,roads", 2, "unknown layer \"roads\"", ""},
      {"export gpkg book.sdr x.gpkg --layers points,", 0, "", "x.gpkg"},
      {"export gpkg book.sdr y.gpkg --layers ,points", 0, "", "y.gpkg"},
      {"export gpkg book.sdr x.gpkg --layers ,", 2, "names no layer", ""},
      {"export gpkg book.sdr x.gpkg --crs EPSG:32637 --crs EPSG:32638", 2, "--crs is given twice", ""},
      {"export gpkg book.sdr x.gpkg --layers points --layers points", 2, "--layers is given twice", ""},
      {"export kml book.sdr x.kml --crs EPSG:4326", 1, "EPSG:4326 is geographic (degrees)", ""},
      {"export kml book.sdr x.kml --crs EPSG:4978", 1, "EPSG:4978 is geocentric", ""},
      {"export gpkg book.sdr x.gpkg --crs EPSG:5714", 1, "EPSG:5714 is a height system", ""},
      {"export gpkg book.sdr x.gpkg --crs EPSG:28404x", 1, "not known to PROJ: EPSG:28404x", ""},
      {"export gpkg book.sdr x.gpkg --crs 'EPSG:28404 extra'", 1, "not known to PROJ: EPSG:28404 extra", ""},
      {"export gpkg book.sdr", 2, "usage", ""},
      {"export shp book.sdr x.shp --crs", 2, "usage", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    TempDir dir;
    writeBytes(dir.file("book.sdr"), kBook);
    writeBytes(dir.file("empty.sdr"), "13NMa note\r\n");
    const CliRun run = runCli(c.args, dir);
    EXPECT_EQ(run.status, c.status);
    if (c.message.empty()) {
      EXPECT_EQ(run.errors, "");
    } else {
      EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
    }
    if (!c.written.empty()) {
      EXPECT_TRUE(std::filesystem::exists(dir.file(c.written)));
      // GDAL's own tools read and convert what was written (gdal-bin).
      if (c.status == 0 && std::system("command -v ogrinfo >/dev/null") == 0) {
        // A table named other than *.csv is named to GDAL as one.
        const std::string file = (c.written == "out.txt" ? "CSV:" : "") +
                                 dir.file(c.written == "out_points.prj" ? "out_points.shp" : c.written);
        const std::string check = "ogrinfo -al -q '" + file + "' >/dev/null && ogr2ogr -f GPKG '" +
                                  dir.file("converted.gpkg") + "' '" + file + "' 2>/dev/null";
        EXPECT_EQ(std::system(check.c_str()), 0);
        std::filesystem::remove(dir.file("converted.gpkg"));
      }
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      EXPECT_NE(entry.path().filename().string().rfind(".quillmar", 0), 0u) << entry.path();
  }
}

// The text after `"sN": ` in the feature of `name`.
std::string sNorthOf(const std::string& geojson, const std::string& name) {
  const std::size_t feature = geojson.find("\"name\": \"" + name + "\"");
  const std::size_t value = geojson.find("\"sN\": ", feature);
  if (feature == std::string::npos || value == std::string::npos) return "missing";
  return geojson.substr(value + 6, geojson.find_first_of(",}", value) - value - 6);
}

TEST(CliGis, adjustGivesTheAdjustedPointsStandardDeviationsInMillimetres) {
  std::string text;
  for (const std::string& line : survey::test::AdjustableBookLines()) text += line + "\r\n";
  for (const bool adjust : {false, true}) {
    SCOPED_TRACE(adjust);
    TempDir dir;
    writeBytes(dir.file("book.sdr"), text);
    const CliRun run = runCli(std::string("export geojson book.sdr out.geojson --crs EPSG:32637 --layers points") +
                                  (adjust ? " --adjust" : ""),
                              dir);
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::string points = readBytes(dir.file("out_points.geojson"));
    EXPECT_EQ(sNorthOf(points, "A"), "null") << "a control point";
    if (!adjust) {
      EXPECT_EQ(sNorthOf(points, "P1"), "null");
      continue;
    }
    const double millimetres = std::atof(sNorthOf(points, "P1").c_str());
    EXPECT_GT(millimetres, 0.1);
    EXPECT_LT(millimetres, 50.0);
  }
}

TEST(CliGis, aFailureNamesTheFileOfTheLayerThatFailed) {
  TempDir dir;
  writeBytes(dir.file("book.sdr"), kBook);
  std::filesystem::create_directory(dir.file("m_stations.geojson"));
  const CliRun run = runCli("export geojson book.sdr m.geojson --crs EPSG:32637", dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.errors.find("m_stations.geojson: File access denied"), std::string::npos) << run.errors;
}

}  // namespace
}  // namespace quillmar
