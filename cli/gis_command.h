// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace quillmar::cli {

// Whether `kind` names a CAD/GIS format (gpkg, shp, dxf, geojson, kml, pnezd).
bool isGisKind(const std::string& kind);

// quillmar-cli export KIND IN OUT [--crs CRS] [--layers LIST] for those
// kinds; returns the exit status.
int runGisExport(const std::vector<std::string>& args);

}  // namespace quillmar::cli
