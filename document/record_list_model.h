#pragma once
// The document's RecordList as a one-column list model. Rows are never
// copied into items: data() decodes the caption of the row asked for, so a
// field book of a million rows costs the view nothing until it is scrolled to.

#include <QAbstractListModel>

#include <cstddef>
#include <string_view>

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
  // Rows first .. first + count of `from`, inserted at `row`.
  void insertRecords(int row, const RecordList& from, std::size_t first, int count);
  void removeRecords(int first, int count);
  void replaceRecord(int row, std::string_view caption, const SurveyRecord& record);
  // After a row's record or caption was changed in place.
  void refreshRow(int row);

  // The last `count` rows leave the view but stay in the list's storage
  // (RecordList::setAside); bringBack shows them again.
  void setAsideLast(int count);
  void bringBack(int count);
  void forgetSetAside(int count);

 private:
  RecordList& list_;
  // Rows the views know of; appends beyond it are not yet announced.
  int shownRows_ = 0;
};

}  // namespace quillmar
