// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frame window: document windows inside an MDI area, New and Open, exit,
// the tool bar and an empty status bar. While a document window is active
// its menus take the place of the frame's whole menu bar.

#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QPointer>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace quillmar {

class DialogSeam;
class TChildForm;
class TSplashForm;
struct ProgramState;
struct SharedWindows;

class TMainForm final : public QMainWindow {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TMainForm)

 public:
  TMainForm(ProgramState& program, SharedWindows& shared, DialogSeam& seam);
  ~TMainForm() override;

  // Shown over the frame the first time the frame is shown.
  void setSplashForm(TSplashForm* splash) { splash_ = splash; }

  TChildForm* New();
  // A new window, which runs its Open at once. A file that another window
  // holds already is not read twice: that window is activated and returned,
  // and the new one goes.
  TChildForm* Open();
  void HelpClick();
  // A file named from outside the windows (command line, a drop, the recent
  // files), in a new window: a record file (*.qdl) as Open reads it, any
  // other file as "Импорт" of a new document reads it. A file that a window
  // holds already activates that window instead.
  TChildForm* OpenPath(const QString& name);
  void OpenPaths(const QStringList& paths);

  // The open document windows, oldest first.
  QList<TChildForm*> documents() const;
  // The document of the active window: its own, or its plan's or results' window.
  TChildForm* activeDocument() const;
  // The document whose file is `path` (the same file, by whatever name), if any.
  TChildForm* documentWithFile(const QString& path) const;
  QMdiArea& mdiArea() { return *mdiArea_; }
  QToolBar& toolBar() { return *toolBar_; }
  const QList<QMenu*>& frameMenus() const { return frameMenus_; }
  QMenu& windowMenu() { return *windowMenu_; }

 signals:
  // The close was accepted: every document window is gone.
  void frameClosed();

 protected:
  // Asks every document in turn; one Cancel (or failed save) keeps all open.
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void createMenusAndToolBar();
  void createWindowMenu();
  void fillWindowMenu();
  void enableWindowCommands();
  void placeNewWindow(QMdiSubWindow& window);
  void keepRecentFiles(QMenu& file, QAction* exit);
  TChildForm* createDocument();
  void activate(TChildForm& document);
  void windowActivated(QMdiSubWindow* window);
  void updateMenuBar();

  ProgramState& program_;
  SharedWindows& shared_;
  DialogSeam& seam_;
  QList<QIcon> documentIcons_;
  QMdiArea* mdiArea_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QList<QMenu*> frameMenus_;
  QMenu* windowMenu_ = nullptr;
  QList<QAction*> windowCommands_;  // cascade, tile, close
  QList<QAction*> windowEntries_;   // one per window, made as the menu opens
  QPointer<QMdiSubWindow> lastPlaced_;
  TSplashForm* splash_ = nullptr;
  bool splashShown_ = false;
};

}  // namespace quillmar
