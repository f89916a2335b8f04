// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The list of a document window: its captions in one column, selected rows
// as ranges, and a column as wide as the longest caption so that horizontal
// scrolling reaches its end.

#include <QObject>

#include <cstddef>
#include <vector>

#include "document/row_commands.h"

class QMenu;
class QTreeView;

namespace quillmar {

class RecordListModel;

class DocumentList final : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(DocumentList)

 public:
  // The view ("ListView1") is made a child of `window`. It must go before
  // the model it shows: it stops showing it when this goes.
  DocumentList(RecordListModel& model, QWidget& window);
  ~DocumentList() override;

  QTreeView& view() { return *view_; }
  // Opened by a right click and by the Menu key, under the current row.
  void setPopup(QMenu& popup);

  // The row that "Редактировать" and "Добавить" work on: the current row
  // when it is selected, else the first selected one; -1 when none is.
  int selectedRow() const;
  std::vector<RowRange> selectedRanges() const;
  void selectRows(const std::vector<RowRange>& ranges);
  // The column fills the view at least; call when the view's size changed.
  void fitColumn();

 signals:
  void selectionChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void widenColumnFor(int first, int last);

  RecordListModel& model_;
  QTreeView* view_ = nullptr;
  QMenu* popup_ = nullptr;
  std::size_t longestCaption_ = 0;
  int longestRow_ = 0;
};

}  // namespace quillmar
