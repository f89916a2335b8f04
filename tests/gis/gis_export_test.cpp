// SPDX-License-Identifier: GPL-3.0-or-later
// Every format written and read back through GDAL's own API: layer names,
// feature counts, coordinates to 0.1 mm (reprojected ones against PROJ),
// attributes, the coordinate system; and the ways an export can fail.

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>
#include <proj.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "gis/gis_export.h"
#include "gis/staged_files.h"
#include "records/cp1251.h"
#include "records/io_error.h"
#include "records/record_layout.h"
#include "tests/gis/record_line.h"
#include "tests/support/record_fields.h"

namespace quillmar::gis {
namespace {

namespace fs = std::filesystem;

constexpr double kTolerance = 1e-4;        // metres
constexpr double kDegreeTolerance = 1e-9;  // some 0.1 mm

using testing::left;
using testing::right;

// SDR3x: name, coordinates in the header's order (north first), elevation, description.
std::string point(std::string_view codes, std::string_view name, std::string_view north, std::string_view east,
                  std::string_view elevation, std::string_view description) {
  return std::string(codes) + right(name, 16) + left(north, 16) + left(east, 16) + left(elevation, 16) +
         (codes.substr(0, 2) == "02" ? left("1.5", 16) : "") + left(description, 16);
}
std::string observation(std::string_view station, std::string_view target) {
  return "09F1" + right(station, 16) + right(target, 16) + left("12.345", 16);
}

const std::string kCyrillic(std::string("Точка,\"1\""_w));
const std::string kLongName = "ABCDEFGHIJKLMNOP";

struct Expected {
  std::string name;  // UTF-8
  double east, north;
  std::optional<double> elevation;
  std::string kind;
  std::string code;
};

const std::vector<Expected> kPoints = {
    {"ST1", 500100.5678, 6200000.1234, 150.25, "station", "ОПОРНАЯ"},
    {"Точка,\"1\"", 500150.0001, 6200050.0002, 151.5, "recorded", "код, \"x\""},
    {kLongName, 500200.1, 6199990.9, std::nullopt, "recorded", ""},
    {"", 500300.25, 6200100.75, 149, "recorded", ""},
};

RecordList book() {
  RecordList list;
  CaptionState state;
  const std::vector<std::string> lines = {
      left("00NMSDR33 V04-04.02", 40) + "11111",
      point("02TP", "ST1", "6200000.1234", "500100.5678", "150.25", std::string("ОПОРНАЯ"_w)),
      observation("ST1", kCyrillic),
      observation("ST1", kLongName),
      point("08KI", kCyrillic, "6200050.0002", "500150.0001", "151.5", std::string("код, \"x\""_w)),
      point("08KI", kLongName, "6199990.9", "500200.1", "", ""),
      point("08KI", "", "6200100.75", "500300.25", "149", ""),
  };
  for (const std::string& line : lines) list.append(SurveyRecord::fromText(line, '3'), state);
  return list;
}

struct ReadFeature {
  std::string layer;
  std::map<std::string, std::string> fields;
  double x = 0, y = 0;
  std::optional<double> z;
  int vertices = 0;
  std::string geometry;
};

struct ReadFile {
  std::vector<std::string> layers;
  std::vector<ReadFeature> features;
  std::string crsCode;  // the layer's authority code, "local", or ""
};

ReadFile readBack(const std::string& path) {
  ReadFile file;
  GDALDataset* dataset = static_cast<GDALDataset*>(GDALOpenEx(path.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr));
  if (dataset == nullptr) {
    ADD_FAILURE() << "GDAL cannot open " << path;
    return file;
  }
  for (OGRLayer* layer : dataset->GetLayers()) {
    file.layers.push_back(layer->GetName());
    if (const OGRSpatialReference* srs = layer->GetSpatialRef()) {
      if (srs->IsLocal())
        file.crsCode = "local";
      else if (const char* code = srs->GetAuthorityCode(nullptr))
        file.crsCode = code;
    }
    for (auto& feature : *layer) {
      ReadFeature read;
      read.layer = layer->GetName();
      for (int i = 0; i < feature->GetFieldCount(); ++i)
        if (feature->IsFieldSetAndNotNull(i))
          read.fields[feature->GetFieldDefnRef(i)->GetNameRef()] = feature->GetFieldAsString(i);
      if (const OGRGeometry* geometry = feature->GetGeometryRef()) {
        read.geometry = OGRGeometryTypeToName(wkbFlatten(geometry->getGeometryType()));
        if (const auto* p = dynamic_cast<const OGRPoint*>(geometry)) {
          read.x = p->getX();
          read.y = p->getY();
          if (p->Is3D()) read.z = p->getZ();
        } else if (const auto* line = dynamic_cast<const OGRSimpleCurve*>(geometry)) {
          read.vertices = line->getNumPoints();
          read.x = line->getX(0);
          read.y = line->getY(0);
          if (line->Is3D()) read.z = line->getZ(0);
        }
      }
      file.features.push_back(read);
    }
  }
  GDALClose(dataset);
  return file;
}

// Longitude and latitude of an easting and northing, by PROJ itself.
std::pair<double, double> lonLat(const std::string& crs, double east, double north) {
  PJ* transform = proj_create_crs_to_crs(nullptr, crs.c_str(), "EPSG:4326", nullptr);
  PJ* normalised = proj_normalize_for_visualization(nullptr, transform);
  const PJ_COORD out = proj_trans(normalised, PJ_FWD, proj_coord(east, north, 0, 0));
  proj_destroy(normalised);
  proj_destroy(transform);
  return {out.xy.x, out.xy.y};
}

class GisExport : public ::testing::Test {
 protected:
  void SetUp() override {
    GDALAllRegister();
    char pattern[] = "/tmp/quillmar-gis-XXXXXX";
    folder_ = mkdtemp(pattern);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string path(const std::string& name) const { return folder_ + "/" + name; }
  std::vector<std::string> folderNames() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  RecordList list_ = book();
  BookFeatures features_ = BookFeatures::read(list_);
  std::string folder_;
};

// Checks a point layer's features against the book, in order.
void checkPoints(const std::vector<ReadFeature>& features, const std::vector<Expected>& expected,
                 const std::string& crs, bool geographic) {
  ASSERT_EQ(features.size(), expected.size());
  for (std::size_t i = 0; i < features.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    const ReadFeature& read = features[i];
    if (geographic) {
      const auto [lon, lat] = lonLat(crs, expected[i].east, expected[i].north);
      EXPECT_NEAR(read.x, lon, kDegreeTolerance);
      EXPECT_NEAR(read.y, lat, kDegreeTolerance);
    } else {
      EXPECT_NEAR(read.x, expected[i].east, kTolerance);
      EXPECT_NEAR(read.y, expected[i].north, kTolerance);
    }
    if (expected[i].elevation) {
      ASSERT_TRUE(read.z);
      EXPECT_NEAR(*read.z, *expected[i].elevation, kTolerance);
    }
  }
}

std::vector<ReadFeature> inLayer(const ReadFile& file, const std::string& layer) {
  std::vector<ReadFeature> result;
  for (const ReadFeature& f : file.features)
    if (f.layer == layer) result.push_back(f);
  return result;
}

struct LayeredCase {
  GisFormat format;
  std::string crs;
  std::string expectedCrs;  // authority code or "local"; "" none
};

TEST_F(GisExport, everyLayeredFormatReadsBackWithItsLayersCoordinatesAttributesAndCrs) {
  const std::vector<LayeredCase> cases = {
      {GisFormat::GeoPackage, "EPSG:32637", "32637"},
      {GisFormat::GeoPackage, "", "local"},
      {GisFormat::Shapefile, "EPSG:32637", "32637"},
      {GisFormat::Shapefile, "", ""},
      {GisFormat::GeoJson, "EPSG:32637", "4979"},  // WGS 84 with heights
      {GisFormat::Kml, "+proj=utm +zone=37 +datum=WGS84 +units=m +no_defs", "4326"},
  };
  for (const LayeredCase& c : cases) {
    const GisFormatInfo& info = InfoOf(c.format);
    SCOPED_TRACE(std::string(info.cliWord) + " " + c.crs);
    const std::string out = path("plan." + std::string(info.extension));
    const GisExportSummary summary = ExportGis(out, features_, c.format, {c.crs, kAllLayers});
    EXPECT_EQ(summary.points, 4u);
    EXPECT_EQ(summary.stations, 1u);
    EXPECT_EQ(summary.sightLines, 2u);
    ReadFile all;
    for (const std::string& file : TargetFiles(out, c.format, kAllLayers)) {
      const ReadFile one = readBack(file);
      all.layers.insert(all.layers.end(), one.layers.begin(), one.layers.end());
      all.features.insert(all.features.end(), one.features.begin(), one.features.end());
      EXPECT_EQ(one.crsCode, c.expectedCrs) << file;
    }
    if (info.filePerLayer) {
      // Each file set has one layer, named as its file ends.
      EXPECT_EQ(all.layers.size(), 3u);
      for (ReadFeature& f : all.features)
        if (f.layer.rfind("plan_", 0) == 0) f.layer.erase(0, 5);
    } else {
      EXPECT_EQ(all.layers, (std::vector<std::string>{"points", "stations", "sight_lines"}));
    }
    const std::vector<ReadFeature> points = inLayer(all, "points");
    checkPoints(points, kPoints, c.crs, info.geographic);
    checkPoints(inLayer(all, "stations"), {kPoints[0]}, c.crs, info.geographic);
    for (std::size_t i = 0; i < points.size() && i < kPoints.size(); ++i) {
      const auto field = [&](const std::string& name) {
        const auto found = points[i].fields.find(name);
        return found == points[i].fields.end() ? std::string() : found->second;
      };
      EXPECT_EQ(field(c.format == GisFormat::Kml ? "Name" : "name"), kPoints[i].name);
      EXPECT_EQ(field("code"), kPoints[i].code);
      EXPECT_EQ(field("kind"), kPoints[i].kind);
      EXPECT_EQ(field("elevation").empty(), !kPoints[i].elevation) << field("elevation");
    }
    const std::vector<ReadFeature> lines = inLayer(all, "sight_lines");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].vertices, 2);
    EXPECT_EQ(lines[0].fields.at("target"), kPoints[1].name);
    EXPECT_EQ(lines[1].fields.at("target"), kLongName);
    // The target has no elevation (a Shapefile's and a KML line's have one: 0).
    if (c.format == GisFormat::Shapefile || c.format == GisFormat::Kml) {
      EXPECT_EQ(lines[1].z.value_or(0), 0);
    } else {
      EXPECT_FALSE(lines[1].z);
    }
    for (const std::string& name : folderNames()) EXPECT_NE(name.rfind(".quillmar", 0), 0u) << name;
    fs::remove_all(folder_);
    fs::create_directory(folder_);
  }
}

TEST_F(GisExport, dxfDrawingHasPointsWithTheirNamesAsTextAndLinesInOneLayerEach) {
  const std::string out = path("plan.dxf");
  ExportGis(out, features_, GisFormat::Dxf, {"", kAllLayers});
  const ReadFile file = readBack(out);
  std::map<std::string, int> points, texts, lines;
  std::vector<std::string> names;
  for (const ReadFeature& f : file.features) {
    const std::string layer = f.fields.at("Layer");
    if (f.geometry == "Point" && f.fields.count("Text")) {
      ++texts[layer];
      if (layer == "points") names.push_back(f.fields.at("Text"));
    } else if (f.geometry == "Point") {
      ++points[layer];
      if (layer == "points") {
        const Expected& e = kPoints[static_cast<std::size_t>(points[layer] - 1)];
        EXPECT_NEAR(f.x, e.east, kTolerance);
        EXPECT_NEAR(f.y, e.north, kTolerance);
      }
    } else {
      ++lines[layer];
      EXPECT_EQ(f.vertices, 2);
    }
  }
  EXPECT_EQ(points, (std::map<std::string, int>{{"points", 4}, {"stations", 1}}));
  EXPECT_EQ(texts, (std::map<std::string, int>{{"points", 3}, {"stations", 1}}));  // the empty name has none
  EXPECT_EQ(lines, (std::map<std::string, int>{{"sight_lines", 2}}));
  EXPECT_EQ(names, (std::vector<std::string>{"ST1", "Точка,\"1\"", kLongName}));
}

TEST_F(GisExport, pnezdIsACommaTableWithQuotedTextsInUtf8) {
  const std::string out = path("points.csv");
  ExportGis(out, features_, GisFormat::Pnezd, {"", kAllLayers});
  std::ifstream in(out, std::ios::binary);
  std::string first, second, third;
  std::getline(in, first);
  std::getline(in, second);
  std::getline(in, third);
  EXPECT_EQ(first, "name,northing,easting,elevation,description\r");
  EXPECT_EQ(second, "ST1,6200000.1234,500100.5678,150.2500,ОПОРНАЯ\r");
  EXPECT_EQ(third, "\"Точка,\"\"1\"\"\",6200050.0002,500150.0001,151.5000,\"код, \"\"x\"\"\"\r");
  const ReadFile file = readBack(out);
  ASSERT_EQ(file.features.size(), 4u);
  EXPECT_EQ(file.features[2].fields.at("name"), kLongName);
  EXPECT_EQ(file.features[2].fields.at("elevation"), "");
  EXPECT_EQ(file.features[3].fields.at("name"), "");
}

TEST_F(GisExport, layersCanBeChosen) {
  const std::string out = path("plan.gpkg");
  ExportGis(out, features_, GisFormat::GeoPackage, {"", kStationsLayer | kSightLinesLayer});
  EXPECT_EQ(readBack(out).layers, (std::vector<std::string>{"stations", "sight_lines"}));
  EXPECT_EQ(ParseLayers("points,sight_lines"), kPointsLayer | kSightLinesLayer);
  EXPECT_FALSE(ParseLayers("points,lines"));
  EXPECT_FALSE(ParseLayers(""));
}

TEST_F(GisExport, bookWithoutCoordinatesGivesEmptyLayers) {
  RecordList list;
  CaptionState state;
  list.append(SurveyRecord::fromText(observation("ST1", "A"), '3'), state);
  const BookFeatures empty = BookFeatures::read(list);
  const std::string out = path("plan.gpkg");
  const GisExportSummary summary = ExportGis(out, empty, GisFormat::GeoPackage, {"EPSG:32637", kAllLayers});
  EXPECT_TRUE(summary.noCoordinates);
  const ReadFile file = readBack(out);
  EXPECT_EQ(file.layers.size(), 3u);
  EXPECT_TRUE(file.features.empty());
}

TEST_F(GisExport, aCrsThatProjDoesNotKnowOrThatIsMissingStopsBeforeAnythingIsWritten) {
  const struct {
    GisFormat format;
    std::string crs;
    GisProblem problem;
  } cases[] = {
      {GisFormat::GeoPackage, "EPSG:999999", GisProblem::UnknownCrs},
      {GisFormat::Shapefile, "+proj=nonsense", GisProblem::UnknownCrs},
      {GisFormat::GeoJson, "", GisProblem::CrsNeeded},
      {GisFormat::Kml, "  ", GisProblem::CrsNeeded},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.crs);
    try {
      ExportGis(path("out." + std::string(InfoOf(c.format).extension)), features_, c.format, {c.crs, kAllLayers});
      ADD_FAILURE() << "no error";
    } catch (const GisError& error) {
      EXPECT_EQ(error.problem(), c.problem);
    }
    EXPECT_TRUE(folderNames().empty());
  }
}

TEST_F(GisExport, fileErrorsCarryTheProgramsCodesAndLeaveTheOldFilesAndNoTemporaryOnes) {
  try {
    ExportGis(path("missing/plan.gpkg"), features_, GisFormat::GeoPackage, {});
    ADD_FAILURE() << "no error";
  } catch (const IoError& error) {
    EXPECT_EQ(error.code(), io_code::kFileNotFound);
  }
  // A folder where the file should go.
  fs::create_directory(path("plan.gpkg"));
  std::ofstream(path("plan.gpkg/keep")) << "old";
  try {
    ExportGis(path("plan.gpkg"), features_, GisFormat::GeoPackage, {});
    ADD_FAILURE() << "no error";
  } catch (const IoError& error) {
    EXPECT_EQ(error.code(), io_code::kAccessDenied);
  }
  EXPECT_EQ(folderNames(), (std::vector<std::string>{"plan.gpkg"}));
  EXPECT_TRUE(fs::exists(path("plan.gpkg/keep")));
  if (::geteuid() != 0) {
    fs::create_directory(path("locked"));
    fs::permissions(path("locked"), fs::perms::owner_read | fs::perms::owner_exec);
    try {
      ExportGis(path("locked/plan.gpkg"), features_, GisFormat::GeoPackage, {});
      ADD_FAILURE() << "no error";
    } catch (const IoError& error) {
      EXPECT_EQ(error.code(), io_code::kAccessDenied);
    }
  }
}

TEST_F(GisExport, aSymbolicLinkIsWrittenThrough) {
  std::ofstream(path("real.gpkg")) << "old";
  fs::create_symlink("real.gpkg", path("link.gpkg"));
  ExportGis(path("link.gpkg"), features_, GisFormat::GeoPackage, {});
  EXPECT_TRUE(fs::is_symlink(path("link.gpkg")));
  EXPECT_EQ(readBack(path("real.gpkg")).layers.size(), 3u);
}

TEST_F(GisExport, aShapefileSetIsReplacedWholeWithoutAStaleProjection) {
  const std::string out = path("plan.shp");
  std::ofstream(path("plan_points.txt")) << "not ours";
  ExportGis(out, features_, GisFormat::Shapefile, {"EPSG:32637", kPointsLayer});
  EXPECT_TRUE(fs::exists(path("plan_points.prj")));
  ExportGis(out, features_, GisFormat::Shapefile, {"", kPointsLayer});
  EXPECT_EQ(folderNames(), (std::vector<std::string>{"plan_points.cpg", "plan_points.dbf", "plan_points.shp",
                                                     "plan_points.shx", "plan_points.txt"}));
}

TEST_F(GisExport, anInterruptedExportLeavesNoTemporaryFolder) {
  {
    StagedFiles staged(folder_);
    std::ofstream(staged.stagedPath("plan.gpkg")) << "half";
    abandonStagedFilesInProgress();  // what the command-line tool's signal handler does
    EXPECT_TRUE(folderNames().empty());
  }
  EXPECT_TRUE(folderNames().empty());
}

TEST_F(GisExport, computedPointsAndCheckShotsFollowTheRecordedOnesWithStationAndMethod) {
  using F = FieldId;
  // clang-format off
  const std::vector<std::string> lines = {
      recordLine(KindId::Header, "00NM", {{F::AngleUnitCode, "1"}, {F::DistanceUnitCode, "1"},
                                          {F::CoordinateOrderCode, "1"}}),
      recordLine(KindId::Instrument, "01NM", {{F::VerticalAngleZeroCode, "1"}}),
      recordLine(KindId::Station, "02TP", {{F::PointName, "STN"}, {F::Coordinate1, "1000"}, {F::Coordinate2, "2000"},
                                           {F::Coordinate3, "100"}, {F::InstrumentHeight, "1.5"}}),
      recordLine(KindId::Target, "03NM", {{F::TargetHeight, "1.2"}}),
      recordLine(KindId::Backsight, "07TP", {{F::FromPoint, "STN"}, {F::ToPoint, "BS"}, {F::Azimuth, "0"},
                                             {F::HorizontalAngle, "0"}}),
      recordLine(KindId::Observation, "09F1", {{F::FromPoint, "STN"}, {F::ToPoint, "P9"}, {F::SlopeDistance, "10"},
                                               {F::VerticalAngle, "90"}, {F::Horizontal, "0"}}),
      recordLine(KindId::Observation, "09F1", {{F::FromPoint, "STN"}, {F::ToPoint, "P1"}, {F::SlopeDistance, "10"},
                                               {F::VerticalAngle, "90"}, {F::Horizontal, "90"}}),
      recordLine(KindId::Position, "08KI", {{F::PointName, "P1"}, {F::Coordinate1, "1000"}, {F::Coordinate2, "2010.01"},
                                            {F::Coordinate3, "100.29"}}),
  };
  // clang-format on
  RecordList list;
  CaptionState state;
  for (const std::string& line : lines) list.append(SurveyRecord::fromText(line, '3'), state);
  const std::string out = path("plan.gpkg");
  ExportGis(out, BookFeatures::read(list), GisFormat::GeoPackage, {"", kPointsLayer});
  const ReadFile file = readBack(out);
  ASSERT_EQ(file.features.size(), 4u);
  const struct {
    const char* name;
    const char* kind;
    const char* station;
    const char* method;
    double east, north, elevation;
  } expected[] = {
      {"STN", "station", "", "", 2000, 1000, 100},
      {"P1", "recorded", "", "", 2010.01, 1000, 100.29},
      {"P9", "computed", "STN", "polar", 2000, 1010, 100.3},
      {"P1", "check", "STN", "check", 2010, 1000, 100.3},
  };
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    const ReadFeature& f = file.features[i];
    const auto field = [&](const char* name) { return f.fields.count(name) ? f.fields.at(name) : std::string(); };
    EXPECT_EQ(field("name"), expected[i].name);
    EXPECT_EQ(field("kind"), expected[i].kind);
    EXPECT_EQ(field("station"), expected[i].station);
    EXPECT_EQ(field("method"), expected[i].method);
    EXPECT_NEAR(f.x, expected[i].east, kTolerance);
    EXPECT_NEAR(f.y, expected[i].north, kTolerance);
    ASSERT_TRUE(f.z);
    EXPECT_NEAR(*f.z, expected[i].elevation, kTolerance);
  }
}

}  // namespace
}  // namespace quillmar::gis
