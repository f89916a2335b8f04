// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every GDAL call of an export needs: the drivers registered, GDAL's
// failures caught as the export's own, the book's texts in UTF-8 and the
// coordinate systems.

#include <iconv.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include <cpl_error.h>
#include <ogr_spatialref.h>

namespace quillmar::gis {

void RegisterDrivers();

// Collects GDAL's failures of the calls in its scope instead of printing them.
class GdalErrors {
 public:
  GdalErrors() { CPLPushErrorHandlerEx(&GdalErrors::handle, this); }
  ~GdalErrors() { CPLPopErrorHandler(); }
  GdalErrors(const GdalErrors&) = delete;
  GdalErrors& operator=(const GdalErrors&) = delete;

  bool failed() const { return !first_.empty(); }
  // Throws IoError for a write that failed for want of space or rights,
  // GisError otherwise, with `what` when GDAL said nothing.
  [[noreturn]] void raise(const std::string& what) const;

 private:
  static void CPL_STDCALL handle(CPLErr level, CPLErrorNum, const char* message);

  std::string first_;
  int savedErrno_ = 0;
};

// The book's Windows-1251 texts as the UTF-8 the formats hold.
class Utf8 {
 public:
  Utf8();
  // Valid until the next call.
  const char* operator()(std::string_view text);

 private:
  struct Close {
    void operator()(iconv_t cd) const { ::iconv_close(cd); }
  };

  std::unique_ptr<std::remove_pointer_t<iconv_t>, Close> cd_;
  std::string out_;
};

// PROJ's and GDAL's UTF-8 texts for the windows.
std::string Cp1251FromUtf8(std::string_view text);

// The CRS option without the blanks around it.
std::string TrimmedCrs(const std::string& crs);

// `crs` (trimmed) with X easting and Y northing; the local survey grid for
// none. Throws GisError when PROJ does not know it.
std::unique_ptr<OGRSpatialReference> SpatialReference(const std::string& crs);

// Where `srs` is meant to be used, in its own eastings and northings, and
// the area's name; nothing when PROJ does not say.
struct AreaOfUse {
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  std::string name;
};
std::optional<AreaOfUse> AreaOfUseOf(const OGRSpatialReference& srs);

}  // namespace quillmar::gis
