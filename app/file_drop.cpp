// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/file_drop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <utility>

namespace quillmar {
namespace {

QStringList localFiles(const QMimeData* data) {
  QStringList paths;
  if (data == nullptr) return paths;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) paths << url.toLocalFile();
  return paths;
}

}  // namespace

FileDrop::FileDrop(QWidget& target, std::function<void(const QStringList&)> open)
    : QObject(&target), open_(std::move(open)) {
  target.setAcceptDrops(true);
  target.installEventFilter(this);
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
    auto* drag = static_cast<QDragMoveEvent*>(event);
    if (!localFiles(drag->mimeData()).isEmpty()) drag->acceptProposedAction();
    return true;
  }
  if (event->type() == QEvent::Drop) {
    auto* drop = static_cast<QDropEvent*>(event);
    const QStringList paths = localFiles(drop->mimeData());
    if (paths.isEmpty()) return true;
    drop->acceptProposedAction();
    // Later, so that the file manager is not kept waiting by a message box.
    QMetaObject::invokeMethod(
        this, [this, paths] { open_(paths); }, Qt::QueuedConnection);
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace quillmar
