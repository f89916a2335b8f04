#pragma once
// "Вычисления" of a document: the results window ("Координаты по
// измерениям"), one per document, inside the frame beside the document
// window, and the rows that "Вставить координаты" adds. A click on a row of
// the results selects its record in the list.

#include <QObject>
#include <QPointer>

#include "survey/widgets/results_window.h"

class QTreeView;
class QWidget;

namespace quillmar {

class DialogSeam;
class InsertRowsCommand;
class RecordListModel;

class DocumentSurvey final : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(DocumentSurvey)

 public:
  DocumentSurvey(QWidget& document, QTreeView& list, RecordListModel& model, DialogSeam& seam);
  // The results window goes with its document.
  ~DocumentSurvey() override;

  // Opens the window, or brings it to the front when it is open.
  void show();
  survey::ResultsWindow* window() const { return window_; }

  // The undo step that puts a 08 record of every computed point after the
  // last observation of its point; nothing when there is none to insert.
  // Points whose values do not fit the fields are named in a message.
  InsertRowsCommand* coordinateRows();

 private:
  void create();
  void placeInFrame();
  void selectRow(int row);
  void updateTitle();

  QWidget& document_;
  QTreeView& list_;
  RecordListModel& model_;
  DialogSeam& seam_;
  QPointer<survey::ResultsWindow> window_;
  // The MDI sub-window that holds the results, or the results without a frame.
  QPointer<QWidget> container_;
};

}  // namespace quillmar
