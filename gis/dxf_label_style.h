// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text style of a DXF drawing's point names, named so that CAD programs
// that take a text's font from its style's name draw Cyrillic names.

#include <string>
#include <string_view>

namespace quillmar::gis {

// LibreCAD (2.2) ignores the style table and draws a text in the font named
// like the text's style, its own "standard" (Latin only) when it has none of
// that name. This one of its fonts has every letter of Windows-1251, "№" too.
inline constexpr std::string_view kLabelStyle = "lc_opengost-br";

// Gives GDAL's style of the labels, in the style table and in every text,
// the name kLabelStyle. The table entry keeps its TrueType font for the
// programs that read the table. Throws IoError.
void NameLabelStyle(const std::string& path);

}  // namespace quillmar::gis
