// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/document_list.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QTreeView>

#include <algorithm>
#include <utility>

#include "document/record_list_model.h"
#include "widgets/control_pictures.h"

namespace quillmar {
namespace {

// Room after the longest caption, so that its end is seen clear of the edge.
constexpr int kColumnMargin = 8;

}  // namespace

DocumentList::DocumentList(RecordListModel& model, QWidget& window) : model_(model) {
  view_ = new QTreeView(&window);
  view_->setObjectName(QStringLiteral("ListView1"));
  view_->setItemDelegate(new ControlPictureDelegate(view_));
  view_->setModel(&model_);
  view_->setHeaderHidden(true);
  view_->setRootIsDecorated(false);
  view_->setItemsExpandable(false);
  view_->setUniformRowHeights(true);
  view_->setAllColumnsShowFocus(true);
  view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->header()->setStretchLastSection(false);
  view_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &DocumentList::selectionChanged);
  connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this, &DocumentList::selectionChanged);
  connect(&model_, &QAbstractItemModel::rowsInserted, this,
          [this](const QModelIndex&, int first, int last) { widenColumnFor(first, last); });
  connect(&model_, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& first, const QModelIndex& last) { widenColumnFor(first.row(), last.row()); });
  connect(&model_, &QAbstractItemModel::rowsRemoved, this, [this] {
    longestCaption_ = 0;
    widenColumnFor(0, model_.rowCount() - 1);
  });
  connect(view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    if (popup_ != nullptr) popup_->popup(view_->viewport()->mapToGlobal(pos));
  });
  view_->installEventFilter(this);
}

DocumentList::~DocumentList() { view_->setModel(nullptr); }

void DocumentList::setPopup(QMenu& popup) { popup_ = &popup; }

// The Menu key (or Shift+F10) opens the popup under the current row, not
// where the toolkit guesses a text cursor to be.
bool DocumentList::eventFilter(QObject* watched, QEvent* event) {
  if (watched != view_ || popup_ == nullptr || event->type() != QEvent::ContextMenu ||
      static_cast<const QContextMenuEvent*>(event)->reason() != QContextMenuEvent::Keyboard)
    return QObject::eventFilter(watched, event);
  const QRect row = view_->visualRect(view_->currentIndex());
  const QPoint at = row.isValid() ? QPoint(row.left() + row.height(), row.bottom()) : QPoint(0, 0);
  popup_->popup(view_->viewport()->mapToGlobal(at));
  return true;
}

int DocumentList::selectedRow() const {
  const QModelIndex current = view_->currentIndex();
  if (current.isValid() && view_->selectionModel()->isRowSelected(current.row())) return current.row();
  const std::vector<RowRange> ranges = selectedRanges();
  return ranges.empty() ? -1 : ranges.front().first;
}

std::vector<RowRange> DocumentList::selectedRanges() const {
  std::vector<RowRange> ranges;
  for (const QItemSelectionRange& range : view_->selectionModel()->selection())
    ranges.push_back({range.top(), range.height()});
  return mergedRanges(std::move(ranges));
}

void DocumentList::selectRows(const std::vector<RowRange>& ranges) {
  QItemSelection selection;
  for (const RowRange& range : ranges)
    selection.select(model_.index(range.first), model_.index(range.first + range.count - 1));
  QItemSelectionModel& selected = *view_->selectionModel();
  selected.select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  if (!ranges.empty()) {
    const QModelIndex first = model_.index(ranges.front().first);
    selected.setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    view_->scrollTo(first);
  }
  emit selectionChanged();
}

// Horizontal scrolling reaches the end of the longest caption. Only the
// longest by length is measured, so a million rows cost one pass of lengths.
void DocumentList::widenColumnFor(int first, int last) {
  if (last >= std::max(first, 0)) {
    const auto longest =
        model_.list().longestCaption(static_cast<std::size_t>(std::max(first, 0)), static_cast<std::size_t>(last));
    if (longest.length > 0 && longest.length >= longestCaption_) {
      longestCaption_ = longest.length;
      longestRow_ = static_cast<int>(longest.row);
    }
  }
  fitColumn();
}

void DocumentList::fitColumn() {
  int width = 0;
  if (longestCaption_ > 0 && longestRow_ < model_.rowCount())
    width = view_->sizeHintForIndex(model_.index(longestRow_)).width() + kColumnMargin;
  view_->header()->resizeSection(0, std::max(width, view_->viewport()->width()));
}

}  // namespace quillmar
