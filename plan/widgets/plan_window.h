// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The plan of one document, in a window of its own: points, sight lines,
// zoom and pan, the cursor's coordinates, and the picture as PNG or SVG.
// It reads the document's records and follows the row signals of the
// document's list model, so edits, additions, deletions, imports and
// receptions show at once. Points computed from the observations are drawn
// with a symbol of their own.

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

#include "plan/plan_data.h"
#include "plan/widgets/plan_picture.h"
#include "widgets/queued_refresh.h"

class QAbstractItemModel;
class QLabel;
class QModelIndex;
class QToolBar;

namespace quillmar::survey {
struct Adjustment;
struct Results;
}  // namespace quillmar::survey

namespace quillmar::plan {

class PlanCanvas;

enum class PictureScope { CurrentView, AllPoints };

class PlanWindow final : public QWidget {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(PlanWindow)

 public:
  struct Dialogs {
    // The file to write, empty when the dialog was cancelled.
    std::function<QString(QWidget* parent, PictureFormat format)> askPictureName;
    std::function<void(QWidget* parent, const QString& text)> showError;
  };

  // `rows` is the list model over `list`; only the rows it has announced are
  // drawn, so that a row of the plan is always a row of the list.
  PlanWindow(const RecordList& list, const QAbstractItemModel& rows, Dialogs dialogs, QWidget* parent = nullptr);

  // The plan of the records as they are now.
  const PlanData& data();
  // Results of the same rows kept elsewhere (the results window's), or
  // nullptr: the plan then computes them itself. With both windows open an
  // edit is computed once.
  void setSharedResults(std::function<const survey::Results*()> results) { sharedResults_ = std::move(results); }
  // The adjustment whose error ellipses the plan draws, or nullptr.
  void setSharedAdjustment(std::function<const survey::Adjustment*()> adjustment) {
    sharedAdjustment_ = std::move(adjustment);
  }
  // The shared results or adjustment changed: drawn again.
  void sharedChanged() { markStale(); }
  PlanCanvas& canvas() { return *canvas_; }

  // The list's selected row (nothing: no selection).
  void highlightRow(std::optional<int> row);
  std::optional<int> highlightedRow() const { return highlightedRow_; }
  void showAll();
  void exportPicture(PictureFormat format, PictureScope scope);
  QString writePicture(const QString& path, PictureFormat format, PictureScope scope);

  QString cursorText() const;
  QString skippedText() const;
  // How many points the plan computed from the observations.
  QString computedText() const;

 signals:
  void rowClicked(int row);

 private:
  void createToolBar();
  void createStatusLine();
  void markStale();
  void refresh();
  void rowsInserted(const QModelIndex& parent, int first, int last);
  void rowsRemoved(const QModelIndex& parent, int first, int last);
  void applyHighlight();
  void canvasClicked(QPointF at);
  void showCursor(GroundPoint at);

  const RecordList& list_;
  std::function<const survey::Results*()> sharedResults_;
  std::function<const survey::Adjustment*()> sharedAdjustment_;
  const QAbstractItemModel& rows_;
  Dialogs dialogs_;
  PlanData data_;
  QueuedRefresh pending_{*this, [this] { refresh(); }};
  std::optional<int> highlightedRow_;
  QToolBar* toolBar_ = nullptr;
  PlanCanvas* canvas_ = nullptr;
  QLabel* cursorLabel_ = nullptr;
  QLabel* pointsLabel_ = nullptr;
  QLabel* skippedLabel_ = nullptr;
  QLabel* computedLabel_ = nullptr;
};

}  // namespace quillmar::plan
