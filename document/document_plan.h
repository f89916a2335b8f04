// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The plan window of a document ("Вид", "План"): one per document, inside
// the frame beside the document window. A click on a point selects its row
// in the list; selecting a row highlights its point.

#include "document/document_side_window.h"
#include "plan/widgets/plan_window.h"

namespace quillmar {

class DocumentPlan final : public DocumentSideWindow {
  Q_OBJECT

 public:
  using DocumentSideWindow::DocumentSideWindow;
  plan::PlanWindow* window() const { return static_cast<plan::PlanWindow*>(sideWindow()); }

 private:
  Placement placement() const override;
  QWidget* make() override;
  void opened() override;
  void followSelection();
};

}  // namespace quillmar
