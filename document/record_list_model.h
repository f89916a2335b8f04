// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The document's RecordList as a one-column list model. Rows are never
// copied into items: data() makes the caption of the row asked for, and keeps
// the last few made, so a field book of a million rows costs the view nothing
// until it is scrolled to.

#include <QAbstractListModel>

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "records/record_list.h"

namespace quillmar {

class RecordListModel final : public QAbstractListModel {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(RecordListModel)

 public:
  explicit RecordListModel(RecordList& list, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  const RecordList& list() const { return list_; }
  // Import, reception and Open append to the list itself; the rows they
  // added are announced to the views afterwards.
  RecordList& listForAppending() { return list_; }
  void announceAppendedRows();
  // Takes back what was appended but not yet announced (a cancelled Open).
  void discardUnannouncedRows();

  void insertRecord(int row, std::string_view caption, const SurveyRecord& record);
  // Rows kept by RecordList::rowRef, inserted at `row` in their order.
  void insertRows(int row, const std::vector<RecordList::RowRef>& rows);
  void removeRecords(int first, int count);
  // Rows for scattered places (RecordList::insert of placed rows) and their
  // removal by ascending rows: one pass over the list, and beyond a few
  // hundred rows one reset of the views instead of a signal for each.
  void insertPlaced(const std::vector<RecordList::Placed>& rows);
  void removePlaced(const std::vector<std::size_t>& rows);
  void replaceRow(int row, RecordList::RowRef stored);
  // After a row's record or caption was changed in place.
  void refreshRow(int row);

  // The last `count` rows leave the view but stay in the list's storage
  // (RecordList::setAside); bringBack shows them again.
  void setAsideLast(int count);
  void bringBack(int count);
  void forgetSetAside(int count);

 private:
  void forgetCaptions();

  RecordList& list_;
  // The views ask for the same rows again at every paint.
  struct ShownCaption {
    int row = -1;
    QString text;
  };
  mutable std::array<ShownCaption, 256> shown_;
  // Rows the views know of; appends beyond it are not yet announced.
  int shownRows_ = 0;
};

}  // namespace quillmar
