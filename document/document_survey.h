// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Вычисления" of a document: the results window ("Координаты по
// измерениям"), one per document, inside the frame beside the document
// window, and the rows that "Вставить координаты" adds. A click on a row of
// the results selects its record in the list.

#include "document/document_side_window.h"
#include "survey/widgets/results_window.h"

namespace quillmar {

class InsertRowsCommand;

class DocumentSurvey final : public DocumentSideWindow {
  Q_OBJECT

 public:
  using DocumentSideWindow::DocumentSideWindow;
  survey::ResultsWindow* window() const { return static_cast<survey::ResultsWindow*>(sideWindow()); }

  // The undo step that puts a 08 record of every computed point after the
  // last observation of its point; nothing when there is none to insert.
  // Points whose values do not fit the fields are named in a message.
  InsertRowsCommand* coordinateRows();

 signals:
  // The results window's adjustment is new (or gone).
  void adjusted();

 private:
  Placement placement() const override;
  QWidget* make() override;
  void opened() override;
};

}  // namespace quillmar
