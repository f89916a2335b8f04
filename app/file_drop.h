// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files dropped on a window from a file manager: the window takes the drop
// of local files and hands their paths on, in the order they were dragged.

#include <QObject>
#include <QStringList>

#include <functional>

class QWidget;

namespace quillmar {

class FileDrop final : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(FileDrop)

 public:
  // Watches `target` (and so every child that takes no drop itself).
  FileDrop(QWidget& target, std::function<void(const QStringList&)> open);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void(const QStringList&)> open_;
};

}  // namespace quillmar
