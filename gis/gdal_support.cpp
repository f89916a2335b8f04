// SPDX-License-Identifier: GPL-3.0-or-later
#include "gis/gdal_support.h"

#include <cerrno>
#include <mutex>

#include <gdal_priv.h>

#include "gis/gis_export.h"
#include "gis/watched_files.h"
#include "records/io_error.h"

namespace quillmar::gis {
namespace {

// A survey's own grid, for the formats that keep a coordinate system.
constexpr const char* kLocalGrid =
    "LOCAL_CS[\"Local survey grid\",LOCAL_DATUM[\"Local\",0],UNIT[\"metre\",1],"
    "AXIS[\"Easting\",EAST],AXIS[\"Northing\",NORTH]]";

const iconv_t kNoConversion = reinterpret_cast<iconv_t>(-1);

bool isFileSystemFailure(int error) {
  return error == ENOSPC || error == EDQUOT || error == EFBIG || error == EACCES || error == EROFS || error == EIO;
}

bool isAscii(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// PROJ takes "EPSG:28404x" and "EPSG:28404 extra" for EPSG:28404.
bool wholeCode(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || text.find(':', colon + 1) != std::string_view::npos ||
      text.find_first_of("+[{\"= ") < colon)
    return true;
  const std::string_view code = text.substr(colon + 1);
  return !code.empty() && code.find_first_not_of("0123456789") == std::string_view::npos;
}

// The book's coordinates are eastings and northings in a length unit.
void checkPlane(const OGRSpatialReference& srs, const std::string& text) {
  if (srs.IsLocal() || (srs.IsProjected() && srs.GetLinearUnits(nullptr) > 0)) return;
  GisProblem problem = GisProblem::CrsNotPlane;
  if (srs.IsGeographic())
    problem = GisProblem::CrsGeographic;
  else if (srs.IsGeocentric())
    problem = GisProblem::CrsGeocentric;
  else if (srs.IsVertical())
    problem = GisProblem::CrsVertical;
  throw GisError(problem, ShownCrs(text));
}

}  // namespace

std::string ShownCrs(std::string_view crs) {
  constexpr std::size_t kShown = 80;
  if (crs.size() <= kShown) return std::string(crs);
  std::size_t cut = kShown;
  while (cut > 0 && (static_cast<unsigned char>(crs[cut]) & 0xC0) == 0x80) --cut;  // not inside a UTF-8 letter
  return std::string(crs.substr(0, cut)) + "...";
}

void RegisterDrivers() {
  static std::once_flag once;
  std::call_once(once, [] { GDALAllRegister(); });
}

void GdalErrors::raise(const std::string& what) const {
  // A write GDAL's file system saw fail is the cause; some writers fail
  // without a GDAL message: the system's errno tells.
  const int watched = WatchedWriteFailure();
  const int savedErrno = watched != 0 ? watched : first_.empty() ? errno : savedErrno_;
  if (isFileSystemFailure(savedErrno)) throw IoError::fromErrno(savedErrno);
  throw GisError(GisProblem::WriteFailed, first_.empty() ? what : first_);
}

void CPL_STDCALL GdalErrors::handle(CPLErr level, CPLErrorNum, const char* message) {
  auto* self = static_cast<GdalErrors*>(CPLGetErrorHandlerUserData());
  if (level < CE_Failure || self == nullptr || !self->first_.empty()) return;
  self->first_ = message != nullptr ? message : "GDAL";
  self->savedErrno_ = errno;
}

Utf8::Utf8() {
  const iconv_t cd = ::iconv_open("UTF-8", "CP1251");
  if (cd != kNoConversion) cd_.reset(cd);
}

const char* Utf8::operator()(std::string_view text) {
  out_.assign(text);
  if (isAscii(text) || !cd_) return out_.c_str();
  std::string in(text);
  out_.assign(text.size() * 3 + 1, '\0');
  char* from = in.data();
  std::size_t fromLeft = in.size();
  char* to = out_.data();
  std::size_t toLeft = out_.size() - 1;
  ::iconv(cd_.get(), nullptr, nullptr, nullptr, nullptr);
  // Byte 0x98 has no character: it becomes '?' rather than ending the text.
  while (fromLeft > 0 && ::iconv(cd_.get(), &from, &fromLeft, &to, &toLeft) == static_cast<std::size_t>(-1)) {
    if (errno != EILSEQ || toLeft == 0) break;
    *to++ = '?';
    --toLeft;
    ++from;
    --fromLeft;
  }
  out_.resize(static_cast<std::size_t>(to - out_.data()));
  return out_.c_str();
}

std::string TrimmedCrs(const std::string& crs) {
  const std::size_t first = crs.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return crs.substr(first, crs.find_last_not_of(" \t") - first + 1);
}

std::unique_ptr<OGRSpatialReference> SpatialReference(const std::string& crs) {
  auto srs = std::make_unique<OGRSpatialReference>();
  // X is easting and Y northing whatever axis order the authority gives.
  srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  const std::string text = TrimmedCrs(crs);
  if (text.empty()) {
    srs->importFromWkt(kLocalGrid);
    return srs;
  }
  GdalErrors quiet;
  if (!wholeCode(text) || srs->SetFromUserInput(text.c_str()) != OGRERR_NONE)
    throw GisError(GisProblem::UnknownCrs, ShownCrs(text));
  checkPlane(*srs, text);
  return srs;
}

void CheckCrs(GisFormat format, const std::string& crs) {
  RegisterDrivers();
  if (!TrimmedCrs(crs).empty())
    SpatialReference(crs);
  else if (InfoOf(format).geographic)
    throw GisError(GisProblem::CrsNeeded, {});
}

}  // namespace quillmar::gis

namespace quillmar::gis {

std::string Cp1251FromUtf8(std::string_view text) {
  char* converted = CPLRecode(std::string(text).c_str(), CPL_ENC_UTF8, "CP1251");
  std::string result = converted != nullptr ? converted : std::string(text);
  CPLFree(converted);
  return result;
}

std::optional<AreaOfUse> AreaOfUseOf(const OGRSpatialReference& srs) {
  double west = 0, south = 0, east = 0, north = 0;
  const char* name = nullptr;
  if (srs.IsLocal() || !srs.GetAreaOfUse(&west, &south, &east, &north, &name)) return std::nullopt;
  OGRSpatialReference lonLat;
  lonLat.SetWellKnownGeogCS("WGS84");
  lonLat.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  GdalErrors quiet;
  const std::unique_ptr<OGRCoordinateTransformation> toPlane(OGRCreateCoordinateTransformation(&lonLat, &srs));
  AreaOfUse area;
  area.name = name != nullptr ? name : "";
  if (!toPlane ||
      !toPlane->TransformBounds(west, south, east, north, &area.minX, &area.minY, &area.maxX, &area.maxY, 21))
    return std::nullopt;
  return area;
}

}  // namespace quillmar::gis
