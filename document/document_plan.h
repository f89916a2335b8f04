#pragma once
// The plan window of a document ("Вид", "План"): one per document, inside
// the frame beside the document window. A click on a point selects its row
// in the list; selecting a row highlights its point.

#include <QObject>
#include <QPointer>

#include <optional>

#include "plan/widgets/plan_window.h"

class QTreeView;
class QWidget;

namespace quillmar {

class DialogSeam;
class RecordListModel;

class DocumentPlan final : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(DocumentPlan)

 public:
  DocumentPlan(QWidget& document, QTreeView& list, RecordListModel& model, DialogSeam& seam);
  // The plan window goes with its document.
  ~DocumentPlan() override;

  // Opens the window, or brings it to the front when it is open.
  void show();
  plan::PlanWindow* window() const { return window_; }

 private:
  void create();
  void placeInFrame();
  void selectRow(int row);
  void followSelection();
  void updateTitle();

  QWidget& document_;
  QTreeView& list_;
  RecordListModel& model_;
  DialogSeam& seam_;
  QPointer<plan::PlanWindow> window_;
  // The MDI sub-window that holds the plan, or the plan itself without a frame.
  QPointer<QWidget> container_;
};

}  // namespace quillmar
