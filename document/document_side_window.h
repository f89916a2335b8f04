// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A window of one document that stands beside the document window in the
// frame: the plan and the results. It is made on the first show(), comes to
// the front on the next, carries the document's title and goes with the
// document. A click on one of its rows selects that row in the list.

#include <QObject>
#include <QPointer>
#include <QString>

class QTreeView;
class QWidget;

namespace quillmar {

class DialogSeam;
class RecordListModel;

class DocumentSideWindow : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(DocumentSideWindow)

 public:
  DocumentSideWindow(QWidget& document, QTreeView& list, RecordListModel& model, DialogSeam& seam);
  ~DocumentSideWindow() override;

  // Opens the window, or brings it to the front when it is open.
  void show();

 protected:
  struct Placement {
    QString titlePrefix;
    int widthTwentieths = 10;  // of the frame's width, at the right
    // A maximized document would make the window maximized too, over the list.
    bool restoreMaximizedDocument = false;
  };

  virtual Placement placement() const = 0;
  // The window, deleted when it closes.
  virtual QWidget* make() = 0;
  // After the window is placed and titled.
  virtual void opened() {}

  QWidget* sideWindow() const { return window_; }
  void selectRow(int row);
  // The name to save the window's product under, proposed after the document; empty when cancelled.
  QString askFileName(QWidget* parent, const QString& title, const QString& filter, const QString& suffix) const;
  void showError(QWidget* parent, const QString& text) const;

  QWidget& document_;
  QTreeView& list_;
  RecordListModel& model_;
  DialogSeam& seam_;

 private:
  void create();
  void placeInFrame();
  void updateTitle();

  Placement placement_;
  QPointer<QWidget> window_;
  // The MDI sub-window that holds the window, or the window itself without a frame.
  QPointer<QWidget> container_;
};

}  // namespace quillmar
