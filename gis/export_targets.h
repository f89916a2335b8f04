// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The names an export writes under and the checks on them made before GDAL
// writes anything.

#include <string>
#include <string_view>
#include <vector>

namespace quillmar::gis {

// ".gpkg" for "gpkg".
std::string DottedExtension(std::string_view extension);
// `name` without a trailing ".extension"; `name` itself when it has none.
std::string StemOf(const std::string& name, std::string_view extension);

// A target the program may not write fails as any save would: a read-only
// file, a folder of that name. A Shapefile's sibling files count too. The
// GisFileError names the file.
void CheckTargetsWritable(const std::vector<std::string>& files, bool shapefile);

// A symbolic link is written through, as a plain open would follow it.
std::string FollowedLink(const std::string& path);

}  // namespace quillmar::gis
