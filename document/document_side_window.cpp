// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/document_side_window.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTreeView>

#include "document/record_list_model.h"
#include "widgets/dialog_seam.h"

namespace quillmar {

DocumentSideWindow::DocumentSideWindow(QWidget& document, QTreeView& list, RecordListModel& model, DialogSeam& seam)
    : document_(document), list_(list), model_(model), seam_(seam) {}

DocumentSideWindow::~DocumentSideWindow() {
  if (container_.isNull()) return;
  container_->disconnect(this);  // the document that listens is going too
  delete container_.data();
}

void DocumentSideWindow::show() {
  if (window_.isNull()) create();
  QMdiSubWindow* sub = frameWindow();
  // Placed first: shown beside a maximized window, it would be maximized too.
  if (sub != nullptr) emit placing();
  container_->show();
  container_->raise();
  container_->activateWindow();
  if (sub != nullptr) sub->mdiArea()->setActiveSubWindow(sub);
}

QMdiSubWindow* DocumentSideWindow::frameWindow() const { return qobject_cast<QMdiSubWindow*>(container_.data()); }

void DocumentSideWindow::create() {
  placement_ = placement();
  window_ = make();
  window_->setAttribute(Qt::WA_DeleteOnClose);
  placeInFrame();
  updateTitle();
  connect(&document_, &QWidget::windowTitleChanged, this, &DocumentSideWindow::updateTitle);
  opened();
}

void DocumentSideWindow::placeInFrame() {
  auto* documentWindow = qobject_cast<QMdiSubWindow*>(document_.parentWidget());
  QMdiArea* area = documentWindow != nullptr ? documentWindow->mdiArea() : nullptr;
  if (area == nullptr) {
    window_->setParent(&document_, Qt::Window);
    container_ = window_.data();
    return;
  }
  QMdiSubWindow* sub = area->addSubWindow(window_);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  container_ = sub;
  connect(sub, &QObject::destroyed, this, &DocumentSideWindow::closed);
}

void DocumentSideWindow::updateTitle() {
  if (window_.isNull()) return;
  window_->setWindowTitle(placement_.titlePrefix + document_.windowTitle());
}

void DocumentSideWindow::selectRow(int row) {
  const QModelIndex index = model_.index(row);
  if (!index.isValid()) return;
  list_.setCurrentIndex(index);
  list_.selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
  // Only up or down: the start of the captions stays in view.
  const int across = list_.horizontalScrollBar()->value();
  list_.scrollTo(index, QAbstractItemView::PositionAtCenter);
  list_.horizontalScrollBar()->setValue(across);
}

QString DocumentSideWindow::askFileName(QWidget* parent, const QString& title, const QString& filter,
                                        const QString& suffix) const {
  SaveRequest request;
  request.title = title;
  request.filter = filter;
  request.defaultSuffix = suffix;
  request.fileName = QFileInfo(document_.windowTitle()).completeBaseName() + QLatin1Char('.') + suffix;
  return seam_.askSaveFileName(parent, request).path;
}

void DocumentSideWindow::showError(QWidget* parent, const QString& text) const { seam_.showError(parent, text); }

}  // namespace quillmar
