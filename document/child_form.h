// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The document window: one RecordList shown as a list of captions, and every
// command on a field book. Its menus take the place of the frame's while it
// is the active window; New, Open and Exit are the frame's and go to it.

#include <QIcon>
#include <QList>
#include <QUndoStack>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "document/document_commands.h"
#include "document/document_files.h"
#include "document/document_list.h"
#include "document/document_state.h"
#include "document/record_list_model.h"
#include "document/side_window_tiling.h"
#include "records/record_list.h"

class QAction;
class QMdiSubWindow;
class QMenu;
class QTreeView;

namespace quillmar {

class DialogSeam;
class DocumentPlan;
class DocumentSideWindow;
class DocumentSurvey;
class FindBar;
struct ProgramState;
struct SharedWindows;

class TChildForm final : public QWidget {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TChildForm)

 public:
  // `icons`: the document window's set of 13 command pictures.
  TChildForm(ProgramState& program, SharedWindows& shared, DialogSeam& seam, const QList<QIcon>& icons);
  ~TChildForm() override;

  // The frame's New: an empty document named `docName`.
  void StartNew(const QString& docName);
  // `openElsewhere`: see DocumentFiles::Open.
  void Open(const std::function<bool(const QString&)>& openElsewhere = {});
  // Open and "Импорт" of a file named from outside the windows.
  void OpenFile(const QString& path);
  // See DocumentFiles::setHeldElsewhere.
  void setFileHeldElsewhere(std::function<bool(const QString&)> held) { files_.setHeldElsewhere(std::move(held)); }
  void ImportFile(const QString& path);
  SaveResult Save();
  void SaveAsClick();
  void ImportClick();
  void N13Click();  // "Экспорт"
  // "Загрузить": the reception dialog, then Obrabotka; sets DocModified.
  void N11Click();
  // "Выгрузить": the list to the instrument.
  void N12Click();
  void HelpClick();
  // "Вид", "План": the plan of this document in a window of its own.
  void PlanClick();
  // "Вычисления": the results window, and the computed points as 08 records.
  void SurveyClick();
  void InsertCoordinatesClick();
  // "Редактировать": the edit dialog on the selected record.
  void EditClick();
  void DeleteClick();
  // "Добавить": the add dialog inserts a record above the selected row.
  void AddClick();
  void ListView1SelectItem(int row, bool selected);
  // "Правка": undo and redo of the row commands, find, go to a row.
  void UndoClick();
  void RedoClick();
  void FindClick();
  void FindNextClick();
  void FindPreviousClick();
  void GoToRowClick();
  // True when the window may close.
  bool FormCloseQuery();
  // The frame's exit has asked already: the next close asks nothing.
  void closeWithoutQuery();

  // True while one of the document's commands runs, its dialogs and file
  // work included: no other command starts on the document meanwhile (their
  // actions are disabled) and the window does not close.
  bool isBusy() const { return busy_; }

  const DocumentState& documentState() const { return state_; }
  RecordListModel& recordModel() { return model_; }
  QTreeView& listView() { return listView_.view(); }
  const QList<QMenu*>& menus() const { return menus_; }
  QMenu& popupMenu() { return *PopupMenu1_; }
  QAction& editAction() { return *editAction_; }
  QAction& deleteAction() { return *deleteAction_; }
  QAction& addAction() { return *addAction_; }
  QAction& undoAction() { return *undoAction_; }
  QAction& redoAction() { return *redoAction_; }
  QUndoStack& undoStack() { return undoStack_; }
  FindBar& findBar() { return *findBar_; }
  // Nothing until the plan has been opened once.
  DocumentPlan* plan() const { return plan_.get(); }
  DocumentSurvey& survey();
  // Its own window in the frame, or its plan's or results' window: while
  // one of them is active, the document's menus are the frame's.
  bool ownsWindow(const QMdiSubWindow& window) const;

 signals:
  void newRequested();
  void openRequested();
  void exitRequested();
  void busyChanged(bool busy);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void createList();
  void createMenus(const QList<QIcon>& icons);
  void createPopup(const QList<QIcon>& icons);
  QMenu* createEditMenu();
  void createFindBar();
  void keepRecentFiles(QMenu& file, QAction* exit);
  template <typename Handler>
  QAction* addCommand(QMenu& menu, const QString& text, const QIcon& icon, Handler handler);
  // A command on the document itself, disabled while another one runs.
  template <typename Handler>
  QAction* addDocumentCommand(QMenu& menu, const QString& text, const QIcon& icon, Handler handler);

  class BusyScope;
  // The busy state for a command about to run; nothing when one runs already.
  std::optional<BusyScope> beginCommand();
  void setBusy(bool busy);
  void selectionChanged();
  void placeSideWindow(DocumentSideWindow& side);
  void arrangeSideWindows();
  void surveyChanged();

  ProgramState& program_;
  SharedWindows& shared_;
  DialogSeam& seam_;
  DocumentState state_;
  RecordList list_;
  RecordListModel model_{list_};
  DocumentFiles files_;
  // Its steps refer to the model, so it goes before the model does.
  QUndoStack undoStack_;
  // The list view shows the model: it goes before the model does.
  DocumentList listView_;
  DocumentCommands commands_;
  FindBar* findBar_ = nullptr;
  QMenu* PopupMenu1_ = nullptr;
  QAction* editAction_ = nullptr;
  QAction* deleteAction_ = nullptr;
  QAction* addAction_ = nullptr;
  QAction* undoAction_ = nullptr;
  QAction* redoAction_ = nullptr;
  QList<QMenu*> menus_;
  bool queryAnswered_ = false;
  bool busy_ = false;
  QList<QAction*> documentCommands_;
  SideWindowTiling tiling_;
  // Last, so that the plan window goes before the list it reads.
  std::unique_ptr<DocumentPlan> plan_;
  std::unique_ptr<DocumentSurvey> survey_;
};

}  // namespace quillmar
