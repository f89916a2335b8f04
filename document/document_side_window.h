// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A window of one document that stands beside the document window in the
// frame: the plan and the results. It is made on the first show(), comes to
// the front on the next, carries the document's title and goes with the
// document. A click on one of its rows selects that row in the list. The
// document places it (placing, closed): beside the list, not over it.

#include <QObject>
#include <QPointer>
#include <QString>

class QMdiSubWindow;
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

  // The frame's window that holds it; nothing while it is closed or outside a frame.
  QMdiSubWindow* frameWindow() const;
  int widthTwentieths() const { return placement_.widthTwentieths; }

 signals:
  // The window in the frame is about to be shown and activated: its place, please.
  void placing();
  // Its frame window has gone.
  void closed();

 protected:
  struct Placement {
    QString titlePrefix;
    int widthTwentieths = 10;  // of the frame's width, at the right
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
