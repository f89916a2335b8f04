// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The coordinates computed from one document's observations, in a window of
// its own: computed points, every solution, check shots, face pairs and the
// observations that gave nothing. It follows the row signals of the
// document's list model, so every change of the records shows at once.

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "records/record_list.h"
#include "survey/adjustment.h"
#include "survey/survey.h"
#include "widgets/queued_refresh.h"

class QAbstractItemModel;
class QLabel;
class QModelIndex;
class QTabWidget;
class QTableView;

namespace quillmar::survey {

class ResultsTable;

class ResultsWindow final : public QWidget {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(ResultsWindow)

 public:
  enum Tab { Points, Solutions, CheckShots, FacePairs, Stations, Control, Failures, Adjusted, Residuals, TabCount };

  struct Dialogs {
    // The file to write, empty when the dialog was cancelled.
    std::function<QString(QWidget* parent)> askTableName;
    std::function<void(QWidget* parent, const QString& text)> showError;
  };

  // `rows` is the list model over `list`; only the rows it has announced count.
  ResultsWindow(const RecordList& list, const QAbstractItemModel& rows, Dialogs dialogs, QWidget* parent = nullptr);

  // The results of the records as they are now.
  const Results& results();
  QTabWidget& tabs() { return *tabs_; }
  QTableView& table(Tab tab) { return *views_[tab]; }
  ResultsTable& model(Tab tab) { return *models_[tab]; }
  QString statusText() const;
  // The user's word on control points, from the check boxes of "Исходные пункты".
  const ControlChoice& controlChoice() const { return choice_; }
  void setControl(const std::string& point, bool control);

  // "Уравнять": the whole book adjusted, and adjusted again after every
  // change of the records from then on. Nothing until then, or when cancelled.
  void adjust();
  const Adjustment* adjustment() const { return adjustment_ ? &*adjustment_ : nullptr; }
  const AdjustmentOptions& adjustmentOptions() const { return options_; }
  void setAdjustmentOptions(const AdjustmentOptions& options);
  void editWeights();
  QString adjustmentSummary() const;
  // The table of solutions through the file dialog; a failure is shown.
  void exportTable();

 signals:
  void rowClicked(int row);
  // A new adjustment (or none any more).
  void adjusted();

 private:
  void createTables();
  void createPointTables();
  void createSetUpTables();
  void createAdjustmentTables();
  bool runAdjustment();
  static AdjustmentOptions savedAdjustmentOptions();
  QString name(std::uint32_t point) const;  // of the adjustment's points
  void addTable(Tab tab, ResultsTable* model);
  void markStale();
  void refresh();
  void tableClicked(Tab tab, const QModelIndex& index);

  const RecordList& list_;
  const QAbstractItemModel& rows_;
  Dialogs dialogs_;
  Results results_;
  ControlChoice choice_;
  AdjustmentOptions options_;
  std::optional<Adjustment> adjustment_;
  bool adjusting_ = false;  // the user asked for it: every refresh adjusts again
  QLabel* summary_ = nullptr;
  std::vector<std::uint32_t> checkShots_;  // indexes into results_.solutions
  QueuedRefresh pending_{*this, [this] { refresh(); }};
  QTabWidget* tabs_ = nullptr;
  QLabel* notes_ = nullptr;  // recorded coordinates set aside
  QLabel* status_ = nullptr;
  QTableView* views_[TabCount] = {};
  ResultsTable* models_[TabCount] = {};
};

}  // namespace quillmar::survey
