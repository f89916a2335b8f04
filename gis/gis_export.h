// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CAD and GIS files of a field book's points, set-ups and sight lines,
// written through GDAL/OGR, their coordinate systems through PROJ. Each kind
// is one GisFormat: the export dialog's filter, the extension, the word
// quillmar-cli knows it by.

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "gis/book_features.h"
#include "records/io_error.h"

namespace quillmar::gis {

enum class GisFormat : std::uint8_t { GeoPackage, Shapefile, Dxf, GeoJson, Kml, Pnezd };

struct GisFormatInfo {
  GisFormat format;
  std::string_view filterName;  // Windows-1251, as the export dialog lists it
  std::string_view extension;   // without the dot
  std::string_view cliWord;
  // Longitude and latitude in WGS 84 only (RFC 7946, KML): needs the book's
  // coordinate system to reproject from.
  bool geographic = false;
  // One file (set) per layer, named after OUT with "_points" and so on.
  bool filePerLayer = false;
};

// In the order of the export dialog's filters, after the record exports.
std::span<const GisFormatInfo> GisFormats();
const GisFormatInfo& InfoOf(GisFormat format);
// nullptr for a word that names no format.
const GisFormatInfo* FindGisFormat(std::string_view cliWord);
// The kind a file name's extension names ("plan.DXF": DXF); nullptr for none.
const GisFormatInfo* GisFormatOfName(std::string_view name);

enum Layer : unsigned { kPointsLayer = 1, kStationsLayer = 2, kSightLinesLayer = 4 };
inline constexpr unsigned kAllLayers = kPointsLayer | kStationsLayer | kSightLinesLayer;
// The order the layers are written and their files named in.
inline constexpr Layer kLayerOrder[] = {kPointsLayer, kStationsLayer, kSightLinesLayer};
// "points", "stations", "sight_lines".
std::string_view LayerName(Layer layer);
// "points,sight_lines"; nothing for a list without a layer or with an
// unknown name. Empty words count for nothing: "points," is "points".
std::optional<unsigned> ParseLayers(std::string_view list);
// The first word of `list` that names no layer; empty for none.
std::string_view UnknownLayerWord(std::string_view list);

struct GisExportOptions {
  std::string crs;  // an EPSG code ("EPSG:28404") or a PROJ string; empty: none
  unsigned layers = kAllLayers;
};

struct GisExportSummary {
  std::size_t points = 0;
  std::size_t stations = 0;
  std::size_t sightLines = 0;
  std::vector<std::string> files;  // the names written, in the target's folder
  bool noCoordinates = false;      // the book has no point with coordinates
  // Points outside the area where the coordinate system is meant to be used
  // (coordinates of another zone, or in the ocean), and that area's name.
  std::size_t outsideAreaOfUse = 0;
  std::string areaOfUse;  // UTF-8
};

// The windows' warning of points outside the area of use, Windows-1251 (the
// area's name as PROJ gives it); empty for none.
std::string AreaOfUseWarning(const GisExportSummary& summary);

enum class GisProblem : std::uint8_t {
  UnknownCrs,
  // A coordinate system that cannot hold the book's plane coordinates.
  CrsGeographic,
  CrsGeocentric,
  CrsVertical,
  CrsNotPlane,
  CrsNeeded,
  NoLayers,
  WriteFailed,
  PointOutsideCrs,  // detail: the point's name (UTF-8) and PROJ's reason
};

// A coordinate system's text as a message shows it: a long one is cut.
std::string ShownCrs(std::string_view crs);

// A failure that is no file system error; what() is the English text.
class GisError : public std::runtime_error {
 public:
  GisError(GisProblem problem, const std::string& detail, std::string file = {});
  GisProblem problem() const { return problem_; }
  const std::string& detail() const { return detail_; }
  // The file being written when it happened; empty before any is.
  const std::string& file() const { return file_; }

 private:
  GisProblem problem_;
  std::string detail_;
  std::string file_;
};

// A file system failure of one of the files an export writes.
class GisFileError : public IoError {
 public:
  GisFileError(const IoError& error, std::string file) : IoError(error), file_(std::move(file)) {}
  const std::string& file() const { return file_; }

 private:
  std::string file_;
};

// The windows' text of a failure, Windows-1251.
std::string GisErrorText(const GisError& error);
// "В книге нет точек с координатами...": a book that gives empty layers.
std::string_view NoCoordinatesText();

// Throws GisError when PROJ does not know `crs`, or when the format needs
// one and there is none. Nothing is written.
void CheckCrs(GisFormat format, const std::string& crs);

// The files OUT stands for: OUT itself, or one per layer.
std::vector<std::string> TargetFiles(const std::string& path, GisFormat format, unsigned layers);

// Writes the chosen layers of `book`; the CRS is checked before anything is
// written. Throws GisError or IoError; a failure leaves the old files.
GisExportSummary ExportGis(const std::string& path, const BookFeatures& book, GisFormat format,
                           const GisExportOptions& options);

}  // namespace quillmar::gis
