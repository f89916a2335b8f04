// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fields of the semicolon tables of our own (computed and adjusted
// coordinates, residuals, PNEZD): numbers with a fixed count of decimals
// whatever the locale and never "-0.0000", and texts quoted the way
// spreadsheets read them when they hold a separator, a quote or a line end.

#include <optional>
#include <string>
#include <string_view>

namespace quillmar {

// `value` with `decimals` decimals; a value that rounds to zero has no sign.
void AppendFixed(std::string& out, double value, int decimals);
std::string FixedText(double value, int decimals);

// `field` as it is, or in double quotes with its quotes doubled when it holds
// `separator`, a double quote, CR or LF.
void AppendTableField(std::string& out, std::string_view field, char separator = ';');

}  // namespace quillmar
