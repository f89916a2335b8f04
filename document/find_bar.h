// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The find bar of a document window: a text looked for in the captions,
// case-insensitively, and a record kind to limit the search to. A match
// becomes the current, selected row and is scrolled into view.

#include <QWidget>

#include "records/record_find.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTreeView;

namespace quillmar {

class RecordListModel;

// Makes `row` the current and only selected row and scrolls it into view.
void showRow(QTreeView& view, int row);

class FindBar final : public QWidget {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(FindBar)

 public:
  FindBar(QTreeView& view, const RecordListModel& model, QWidget* parent);

  // Shows the bar with its text selected, ready to type over.
  void openBar();
  // From the row after the current one (or before it), wrapping around.
  void findNext();
  void findPrevious();

  QLineEdit& textEdit() { return *text_; }
  QComboBox& kindBox() { return *kind_; }
  QString statusText() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void createControls();
  // `offset` from the current row: 0 finds the current row again while typing.
  void find(int offset, Direction direction);
  void findAgain(Direction direction);
  void showNotFound();
  int currentRow() const;
  RecordKind kind() const;

  QTreeView& view_;
  const RecordListModel& model_;
  QLineEdit* text_ = nullptr;
  QComboBox* kind_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace quillmar
