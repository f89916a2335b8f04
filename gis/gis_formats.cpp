// SPDX-License-Identifier: GPL-3.0-or-later
#include "gis/gis_export.h"

#include <algorithm>
#include <cctype>

#include "gis/gdal_support.h"
#include "records/cp1251.h"

namespace quillmar::gis {
namespace {

constexpr GisFormatInfo kFormats[] = {
    {GisFormat::GeoPackage, "GeoPackage"_w, "gpkg", "gpkg", false, false},
    {GisFormat::Shapefile, "ESRI Shapefile"_w, "shp", "shp", false, true},
    {GisFormat::Dxf, "DXF (AutoCAD, LibreCAD)"_w, "dxf", "dxf", false, false},
    {GisFormat::GeoJson, "GeoJSON (WGS 84)"_w, "geojson", "geojson", true, true},
    {GisFormat::Kml, "KML (WGS 84)"_w, "kml", "kml", true, false},
    {GisFormat::Pnezd, "CSV PNEZD"_w, "csv", "pnezd", false, false},
};

unsigned layerNamed(std::string_view word) {
  for (const Layer layer : kLayerOrder)
    if (LayerName(layer) == word) return layer;
  return 0;
}

std::string englishText(GisProblem problem, const std::string& detail) {
  switch (problem) {
    case GisProblem::UnknownCrs: return "the coordinate system is not known to PROJ: " + detail;
    case GisProblem::CrsGeographic:
      return detail + " is geographic (degrees); the book's coordinates need a projected system in metres or feet";
    case GisProblem::CrsGeocentric:
      return detail + " is geocentric; the book's coordinates need a projected system in metres or feet";
    case GisProblem::CrsVertical:
      return detail + " is a height system; the book's coordinates need a projected system in metres or feet";
    case GisProblem::CrsNotPlane:
      return detail + " is no projected system with a length unit, which the book's coordinates need";
    case GisProblem::PointOutsideCrs: return "a point cannot be transformed: " + detail;
    case GisProblem::CrsNeeded:
      return "GeoJSON and KML hold longitude and latitude: give the book's coordinate system (--crs)";
    case GisProblem::NoLayers: return "no layer chosen";
    case GisProblem::WriteFailed: return "GDAL: " + detail;
  }
  return detail;
}

std::string_view notPlaneText(GisProblem problem) {
  switch (problem) {
    case GisProblem::CrsGeographic:
      return "Система координат географическая (градусы), а координаты книги плоские: нужна проекция в метрах или футах: "_w;
    case GisProblem::CrsGeocentric:
      return "Система координат геоцентрическая, а координаты книги плоские: нужна проекция в метрах или футах: "_w;
    case GisProblem::CrsVertical:
      return "Это система высот, а координаты книги плоские: нужна проекция в метрах или футах: "_w;
    default: return "Это не проекция с линейными единицами, а координаты книги плоские: "_w;
  }
}

}  // namespace

std::span<const GisFormatInfo> GisFormats() { return kFormats; }

const GisFormatInfo& InfoOf(GisFormat format) {
  for (const GisFormatInfo& info : kFormats)
    if (info.format == format) return info;
  return kFormats[0];
}

const GisFormatInfo* FindGisFormat(std::string_view cliWord) {
  for (const GisFormatInfo& info : kFormats)
    if (info.cliWord == cliWord) return &info;
  return nullptr;
}

const GisFormatInfo* GisFormatOfName(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  const std::size_t slash = name.rfind('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return nullptr;
  const std::string_view extension = name.substr(dot + 1);
  for (const GisFormatInfo& info : kFormats) {
    if (info.extension.size() != extension.size()) continue;
    if (std::equal(extension.begin(), extension.end(), info.extension.begin(),
                   [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; }))
      return &info;
  }
  return nullptr;
}

std::string_view LayerName(Layer layer) {
  switch (layer) {
    case kPointsLayer: return "points";
    case kStationsLayer: return "stations";
    case kSightLinesLayer: return "sight_lines";
  }
  return {};
}

// Empty words are skipped: "points," is "points".
std::optional<unsigned> ParseLayers(std::string_view list) {
  unsigned layers = 0;
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    const std::string_view word = list.substr(0, comma);
    if (!word.empty()) {
      const unsigned found = layerNamed(word);
      if (found == 0) return std::nullopt;
      layers |= found;
    }
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
  }
  if (layers == 0) return std::nullopt;
  return layers;
}

std::string_view UnknownLayerWord(std::string_view list) {
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    const std::string_view word = list.substr(0, comma);
    if (!word.empty() && layerNamed(word) == 0) return word;
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
  }
  return {};
}

GisError::GisError(GisProblem problem, const std::string& detail, std::string file)
    : std::runtime_error(englishText(problem, detail)), problem_(problem), detail_(detail), file_(std::move(file)) {}

std::string GisErrorText(const GisError& error) {
  switch (error.problem()) {
    case GisProblem::UnknownCrs: return std::string("Система координат не известна PROJ: "_w) + error.detail();
    case GisProblem::CrsGeographic:
    case GisProblem::CrsGeocentric:
    case GisProblem::CrsVertical:
    case GisProblem::CrsNotPlane: return std::string(notPlaneText(error.problem())) + error.detail();
    case GisProblem::PointOutsideCrs: return std::string("Точку нельзя пересчитать в WGS 84: "_w) + error.detail();
    case GisProblem::CrsNeeded:
      return std::string(
          "GeoJSON и KML хранят долготу и широту: укажите систему координат книги (код EPSG или строку PROJ)"_w);
    case GisProblem::NoLayers: return std::string("Не выбран ни один слой"_w);
    case GisProblem::WriteFailed: return std::string("Ошибка записи GDAL: "_w) + error.detail();
  }
  return error.detail();
}

std::string AreaOfUseWarning(const GisExportSummary& summary) {
  if (summary.outsideAreaOfUse == 0) return {};
  return std::string("Точек вне области применения системы координат: "_w) + std::to_string(summary.outsideAreaOfUse) +
         " (" + Cp1251FromUtf8(summary.areaOfUse) + ")";
}

std::string_view NoCoordinatesText() { return "В книге нет точек с координатами: слои записаны пустыми"_w; }

}  // namespace quillmar::gis
