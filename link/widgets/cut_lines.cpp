// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/widgets/cut_lines.h"

#include "records/survey_record.h"

namespace quillmar {

QString cutLinesMessage(std::size_t cutLines) {
  return QStringLiteral(
             "Строк длиннее 168 символов: %1. Запись хранит первые %2 символов строки, "
             "остальное и конец строки отброшены.")
      .arg(cutLines)
      .arg(kBodyCapacity);
}

}  // namespace quillmar
