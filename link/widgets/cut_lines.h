// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's word on lines too long for a record, after a reception or
// an import.

#include <QString>

#include <cstddef>

namespace quillmar {

QString cutLinesMessage(std::size_t cutLines);

}  // namespace quillmar
