// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a document window knows about its document besides the rows.

#include <QString>

namespace quillmar {

struct DocumentState {
  QString docName;           // "Новый"+N, or the record file's path
  bool docStarted = false;   // New, or an Open in which a file was chosen
  bool docUntitled = false;  // Save asks for a file name first
  bool docModified = false;  // the list may differ from its file
  // The file opened was plainly not a record file: Save never writes over it
  // without a file dialog, and a cancelled dialog saves nothing.
  bool sourceDoubtful = false;
};

}  // namespace quillmar
