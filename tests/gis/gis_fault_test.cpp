// SPDX-License-Identifier: GPL-3.0-or-later
// The ways a CAD/GIS export fails on the file system, and the coordinate
// systems it refuses: the old files stay, the message names the file.

#include <fcntl.h>
#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "gis/gis_export.h"
#include "gis/staged_files.h"
#include "records/io_error.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/temp_dir.h"

namespace quillmar::gis {
namespace {

namespace fs = std::filesystem;
using testing::FileSizeLimit;
using testing::TempDir;

// A station and `count` recorded points some metres apart, in UTM zone 37.
RecordList generatedBook(std::size_t count, const std::string& prefix = "P") {
  RecordList list;
  CaptionState state;
  const auto field = [](const std::string& text) { return text + std::string(16 - text.size(), ' '); };
  list.append(SurveyRecord::fromText("00NMSDR33 V04-04.02                     11111", '3'), state);
  for (std::size_t i = 0; i < count; ++i) {
    const std::string name = prefix + std::to_string(i);
    list.append(
        SurveyRecord::fromText(std::string(i == 0 ? "02TP" : "08KI") + std::string(16 - name.size(), ' ') + name +
                                   field(std::to_string(6200000 + i)) + field(std::to_string(500000 + 2 * i)) +
                                   field("150.5") + (i == 0 ? field("1.5") : "") + field("code"),
                               '3'),
        state);
  }
  return list;
}

std::string contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::map<std::string, std::string> folderContents(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder))
    files[entry.path().filename()] = entry.is_regular_file() ? contents(entry.path()) : "<folder>";
  return files;
}

class GisFault : public ::testing::Test {
 protected:
  void SetUp() override { GDALAllRegister(); }
  std::string out(GisFormat format) const { return dir_.file("plan." + std::string(InfoOf(format).extension)); }

  TempDir dir_;
};

TEST_F(GisFault, aFullDiskFailsEveryFormatWithDiskFullAndKeepsTheOldFiles) {
  const RecordList small = generatedBook(3, "OLD");
  const RecordList large = generatedBook(400);
  const BookFeatures oldBook = BookFeatures::read(small);
  const BookFeatures newBook = BookFeatures::read(large);
  for (const GisFormatInfo& info : GisFormats()) {
    SCOPED_TRACE(info.cliWord);
    fs::remove_all(dir_.path());
    fs::create_directory(dir_.path());
    ExportGis(out(info.format), oldBook, info.format, {"EPSG:32637", kAllLayers});
    const auto before = folderContents(dir_.path());
    try {
      const FileSizeLimit full(6000);
      ExportGis(out(info.format), newBook, info.format, {"EPSG:32637", kAllLayers});
      ADD_FAILURE() << "no error";
    } catch (const IoError& error) {
      EXPECT_EQ(error.code(), io_code::kDiskFull);
      const auto* named = dynamic_cast<const GisFileError*>(&error);
      ASSERT_TRUE(named);
      EXPECT_EQ(named->file(), TargetFiles(out(info.format), info.format, kAllLayers).front());
    }
    EXPECT_TRUE(folderContents(dir_.path()) == before) << "the old files changed";
  }
}

// A run that holds the folder (another export moving its set) delays the
// replacing until it is done: two sets are never mixed.
TEST_F(GisFault, aSetIsReplacedOnlyWhileNoOtherExportReplacesOne) {
  const RecordList list = generatedBook(5);
  const BookFeatures book = BookFeatures::read(list);
  const int folder = ::open(dir_.path().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(::flock(folder, LOCK_EX), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    ExportGis(out(GisFormat::Shapefile), book, GisFormat::Shapefile, {"", kPointsLayer});
    ::_exit(0);
  }
  ::usleep(400000);
  EXPECT_FALSE(fs::exists(dir_.file("plan_points.shp")));
  ::flock(folder, LOCK_UN);
  ::close(folder);
  int status = -1;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(fs::exists(dir_.file("plan_points.dbf")));
}

TEST_F(GisFault, theTemporaryFolderOfAKilledExportGoesWithTheNextExportThere) {
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const std::string dead = dir_.file(".quillmar-export-" + std::to_string(gone) + "-a1b2c3");
  const std::string alive = dir_.file(".quillmar-export-" + std::to_string(::getpid()) + "-d4e5f6");
  for (const std::string& stage : {dead, alive}) {
    fs::create_directory(stage);
    std::ofstream(stage + "/plan.gpkg") << "half";
  }
  const RecordList list = generatedBook(2);
  ExportGis(out(GisFormat::GeoPackage), BookFeatures::read(list), GisFormat::GeoPackage, {});
  EXPECT_FALSE(fs::exists(dead));
  EXPECT_TRUE(fs::exists(alive + "/plan.gpkg"));
}

TEST_F(GisFault, aReplacedFileKeepsItsMode) {
  const RecordList list = generatedBook(2);
  const BookFeatures book = BookFeatures::read(list);
  for (const GisFormat format : {GisFormat::GeoPackage, GisFormat::Pnezd, GisFormat::Kml}) {
    SCOPED_TRACE(InfoOf(format).cliWord);
    std::ofstream(out(format)) << "old";
    ::chmod(out(format).c_str(), 0640);
    ExportGis(out(format), book, format, {"EPSG:32637"});
    struct stat st {};
    ASSERT_EQ(::stat(out(format).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_NE(contents(out(format)), "old");
  }
}

TEST_F(GisFault, aFolderWhereTheFileShouldGoIsRefusedAndKeptWhole) {
  const RecordList list = generatedBook(2);
  const BookFeatures book = BookFeatures::read(list);
  for (const GisFormat format : {GisFormat::Pnezd, GisFormat::Kml, GisFormat::Dxf}) {
    SCOPED_TRACE(InfoOf(format).cliWord);
    fs::create_directory(out(format));
    std::ofstream(out(format) + "/keep") << "mine";
    try {
      ExportGis(out(format), book, format, {"EPSG:32637"});
      ADD_FAILURE() << "no error";
    } catch (const GisFileError& error) {
      EXPECT_EQ(error.code(), io_code::kAccessDenied);
      EXPECT_EQ(error.file(), out(format));
    }
    EXPECT_EQ(contents(out(format) + "/keep"), "mine");
    EXPECT_EQ(folderContents(dir_.path()).size(), 1u);
    fs::remove_all(out(format));
  }
}

TEST_F(GisFault, aLongCoordinateSystemTextIsCutInTheMessage) {
  const std::string text = "EPSG:" + std::string(100000, '7');
  try {
    CheckCrs(GisFormat::GeoPackage, text);
    ADD_FAILURE() << "no error";
  } catch (const GisError& error) {
    EXPECT_EQ(error.problem(), GisProblem::UnknownCrs);
    EXPECT_LT(std::string(error.what()).size(), 200u);
    EXPECT_LT(GisErrorText(error).size(), 200u);
  }
}

}  // namespace
}  // namespace quillmar::gis
