#include "document/document_plan.h"

#include <QFileInfo>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeView>

#include <algorithm>

#include "document/dialog_seam.h"
#include "document/record_list_model.h"
#include "plan/widgets/plan_window.h"

namespace quillmar {

DocumentPlan::DocumentPlan(QWidget& document, QTreeView& list, RecordListModel& model,
                           DialogSeam& seam)
    : document_(document), list_(list), model_(model), seam_(seam) {}

DocumentPlan::~DocumentPlan() { delete container_.data(); }

void DocumentPlan::show() {
  if (window_.isNull()) create();
  container_->show();
  container_->raise();
  container_->activateWindow();
  if (auto* sub = qobject_cast<QMdiSubWindow*>(container_.data())) sub->mdiArea()->setActiveSubWindow(sub);
}

void DocumentPlan::create() {
  plan::PlanWindow::Dialogs dialogs;
  dialogs.askPictureName = [this](QWidget* parent, plan::PictureFormat format) {
    const bool png = format == plan::PictureFormat::Png;
    SaveRequest request;
    request.title = QStringLiteral("Экспорт рисунка плана");
    request.filter = png ? QStringLiteral("Рисунок PNG|*.png") : QStringLiteral("Рисунок SVG|*.svg");
    request.defaultSuffix = png ? QStringLiteral("png") : QStringLiteral("svg");
    request.fileName = QFileInfo(document_.windowTitle()).completeBaseName() + QLatin1Char('.') +
                       request.defaultSuffix;
    return seam_.askSaveFileName(parent, request).path;
  };
  dialogs.showError = [this](QWidget* parent, const QString& text) { seam_.showError(parent, text); };
  window_ = new plan::PlanWindow(model_.list(), model_, std::move(dialogs));
  window_->setAttribute(Qt::WA_DeleteOnClose);
  placeInFrame();
  updateTitle();
  connect(&document_, &QWidget::windowTitleChanged, this, &DocumentPlan::updateTitle);
  connect(window_, &plan::PlanWindow::rowClicked, this, &DocumentPlan::selectRow);
  connect(list_.selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &DocumentPlan::followSelection);
  followSelection();
}

void DocumentPlan::placeInFrame() {
  auto* documentWindow = qobject_cast<QMdiSubWindow*>(document_.parentWidget());
  QMdiArea* area = documentWindow != nullptr ? documentWindow->mdiArea() : nullptr;
  if (area == nullptr) {
    window_->setParent(&document_, Qt::Window);
    container_ = window_.data();
    return;
  }
  // On top of the document window, which takes the frame's whole width: a
  // click in the list must not hide the plan it selects from.
  QMdiSubWindow* sub = area->addSubWindow(window_, Qt::SubWindow | Qt::WindowStaysOnTopHint);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  // The right part of the frame, so that the list stays readable beside it.
  const QSize space = area->viewport()->size();
  sub->resize(std::max(space.width() * 11 / 20, sub->minimumSizeHint().width()), space.height());
  sub->move(space.width() - sub->width(), 0);
  container_ = sub;
}

void DocumentPlan::updateTitle() {
  if (window_.isNull()) return;
  window_->setWindowTitle(QStringLiteral("План: ") + document_.windowTitle());
}

void DocumentPlan::selectRow(int row) {
  const QModelIndex index = model_.index(row);
  if (!index.isValid()) return;
  list_.setCurrentIndex(index);
  list_.selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
  // Only up or down: the start of the captions stays in view.
  const int across = list_.horizontalScrollBar()->value();
  list_.scrollTo(index, QAbstractItemView::PositionAtCenter);
  list_.horizontalScrollBar()->setValue(across);
}

void DocumentPlan::followSelection() {
  if (window_.isNull()) return;
  const QModelIndexList rows = list_.selectionModel()->selectedRows();
  window_->highlightRow(rows.isEmpty() ? std::nullopt : std::optional<int>(rows.constFirst().row()));
}

}  // namespace quillmar
