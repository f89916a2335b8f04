// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/document_plan.h"

#include <QItemSelectionModel>
#include <QTreeView>

#include <optional>
#include <utility>

#include "document/record_list_model.h"
#include "plan/widgets/plan_window.h"
#include "widgets/dialog_seam.h"

namespace quillmar {

DocumentSideWindow::Placement DocumentPlan::placement() const { return {QStringLiteral("План: "), 11}; }

QWidget* DocumentPlan::make() {
  plan::PlanWindow::Dialogs dialogs;
  dialogs.askPictureName = [this](QWidget* parent, plan::PictureFormat format) {
    const bool png = format == plan::PictureFormat::Png;
    return askFileName(parent, QStringLiteral("Экспорт рисунка плана"),
                       png ? QStringLiteral("Рисунок PNG|*.png") : QStringLiteral("Рисунок SVG|*.svg"),
                       png ? QStringLiteral("png") : QStringLiteral("svg"));
  };
  dialogs.showError = [this](QWidget* parent, const QString& text) { showError(parent, text); };
  return new plan::PlanWindow(model_.list(), model_, std::move(dialogs));
}

void DocumentPlan::opened() {
  connect(window(), &plan::PlanWindow::rowClicked, this, &DocumentPlan::selectRow);
  connect(list_.selectionModel(), &QItemSelectionModel::selectionChanged, this, &DocumentPlan::followSelection);
  followSelection();
}

void DocumentPlan::followSelection() {
  if (window() == nullptr) return;
  const QModelIndexList rows = list_.selectionModel()->selectedRows();
  window()->highlightRow(rows.isEmpty() ? std::nullopt : std::optional<int>(rows.constFirst().row()));
}

}  // namespace quillmar
