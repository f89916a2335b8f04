// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/child_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <utility>
#include <vector>

#include "document/command_guard.h"
#include "document/document_plan.h"
#include "document/document_survey.h"
#include "document/find_bar.h"
#include "document/program_state.h"
#include "document/recent_files.h"
#include "document/shared_windows.h"
#include "help/intern_form.h"
#include "link/widgets/upload_runner.h"
#include "link/widgets/zagruz_form.h"
#include "records/record_layout.h"
#include "widgets/command_icons.h"
#include "widgets/dialog_seam.h"
#include "widgets/standard_keys.h"

namespace quillmar {
namespace {

// "Отменить «Удалить»": the menu names the step it would undo or redo.
QString historyText(const QString& command, const QString& step) {
  return step.isEmpty() ? command : command + QStringLiteral(" «") + step + QStringLiteral("»");
}

}  // namespace

TChildForm::TChildForm(ProgramState& program, SharedWindows& shared, DialogSeam& seam, const QList<QIcon>& icons)
    : program_(program),
      shared_(shared),
      seam_(seam),
      files_(*this, state_, model_, program, seam),
      listView_(model_, *this),
      commands_(*this, listView_, model_, undoStack_, state_, program, shared, seam) {
  setWindowTitle(QStringLiteral("ChildForm"));
  createList();
  createFindBar();
  createMenus(icons);
  createPopup(icons);
  // Brought up to the records first: an edit not yet shown adjusts again.
  files_.setAdjustmentSource([this]() -> const survey::Adjustment* {
    survey::ResultsWindow* results = survey_ ? survey_->window() : nullptr;
    if (results == nullptr) return nullptr;
    results->results();
    return results->adjustment();
  });
}

TChildForm::~TChildForm() = default;

void TChildForm::createList() {
  // The list fills its window, whatever the frame's size.
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(&listView_.view());
  connect(&listView_, &DocumentList::selectionChanged, this, &TChildForm::selectionChanged);
  // What was amiss in a file just read, said once; the line is there only then.
  auto* statusLine = new QStatusBar(this);
  statusLine->setSizeGripEnabled(false);
  statusLine->hide();
  layout->addWidget(statusLine);
  files_.setStatusHandler([statusLine](const QString& text) {
    statusLine->showMessage(text);
    statusLine->setVisible(!text.isEmpty());
  });
}

template <typename Handler>
QAction* TChildForm::addCommand(QMenu& menu, const QString& text, const QIcon& icon, Handler handler) {
  QAction* action = menu.addAction(icon, text);
  connect(action, &QAction::triggered, this,
          [this, handler] { runGuarded(this, seam_, [this, handler] { (this->*handler)(); }); });
  return action;
}

template <typename Handler>
QAction* TChildForm::addDocumentCommand(QMenu& menu, const QString& text, const QIcon& icon, Handler handler) {
  QAction* action = addCommand(menu, text, icon, handler);
  documentCommands_ << action;
  return action;
}

class TChildForm::BusyScope {
 public:
  explicit BusyScope(TChildForm& form) : form_(form) { form_.setBusy(true); }
  ~BusyScope() { form_.setBusy(false); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  TChildForm& form_;
};

std::optional<TChildForm::BusyScope> TChildForm::beginCommand() {
  if (busy_) return std::nullopt;
  return std::optional<BusyScope>(std::in_place, *this);
}

void TChildForm::setBusy(bool busy) {
  busy_ = busy;
  for (QAction* action : std::as_const(documentCommands_)) action->setEnabled(!busy);
  if (!busy) selectionChanged();  // the popup's commands follow the selection again
  emit busyChanged(busy);
}

// The menus' titles mark the letter that Alt opens them with; the frame's "Окно" takes О.
void TChildForm::createMenus(const QList<QIcon>& icons) {
  auto* file = new QMenu(QStringLiteral("&Файл"), this);
  addCommand(*file, QStringLiteral("Новый"), iconIn(icons, CommandIcon::New), &TChildForm::newRequested)
      ->setShortcuts(StandardKeys(QKeySequence::New));
  addCommand(*file, QStringLiteral("Открыть"), iconIn(icons, CommandIcon::Open), &TChildForm::openRequested)
      ->setShortcuts(StandardKeys(QKeySequence::Open));
  addDocumentCommand(*file, QStringLiteral("Сохранить"), iconIn(icons, CommandIcon::Save), &TChildForm::Save)
      ->setShortcuts(StandardKeys(QKeySequence::Save));
  addDocumentCommand(*file, QStringLiteral("Сохранить как"), iconIn(icons, CommandIcon::SaveAs),
                     &TChildForm::SaveAsClick)
      ->setShortcuts(StandardKeys(QKeySequence::SaveAs));
  file->addSeparator();
  addDocumentCommand(*file, QStringLiteral("Импорт"), iconIn(icons, CommandIcon::Import), &TChildForm::ImportClick);
  addDocumentCommand(*file, QStringLiteral("Экспорт"), iconIn(icons, CommandIcon::Export), &TChildForm::N13Click);
  file->addSeparator();
  QAction* exit =
      addCommand(*file, QStringLiteral("Выход"), iconIn(icons, CommandIcon::Exit), &TChildForm::exitRequested);
  exit->setShortcuts(StandardKeys(QKeySequence::Quit));
  keepRecentFiles(*file, exit);

  QMenu* edit = createEditMenu();

  auto* link = new QMenu(QStringLiteral("&Коммуникация"), this);
  addDocumentCommand(*link, QStringLiteral("Загрузить"), iconIn(icons, CommandIcon::Receive), &TChildForm::N11Click);
  addDocumentCommand(*link, QStringLiteral("Выгрузить"), iconIn(icons, CommandIcon::Upload), &TChildForm::N12Click);

  auto* view = new QMenu(QStringLiteral("&Вид"), this);
  addCommand(*view, QStringLiteral("План"), QIcon(), &TChildForm::PlanClick);

  auto* compute = new QMenu(QStringLiteral("Вы&числения"), this);
  addCommand(*compute, QStringLiteral("Координаты по измерениям"), QIcon(), &TChildForm::SurveyClick);
  addDocumentCommand(*compute, QStringLiteral("Вставить координаты"), QIcon(), &TChildForm::InsertCoordinatesClick);

  auto* help = new QMenu(QStringLiteral("&Справка"), this);
  addCommand(*help, QStringLiteral("Руководство пользователя"), iconIn(icons, CommandIcon::Help),
             &TChildForm::HelpClick)
      ->setShortcuts(StandardKeys(QKeySequence::HelpContents));
  menus_ = {file, edit, link, view, compute, help};
}

QMenu* TChildForm::createEditMenu() {
  auto* edit = new QMenu(QStringLiteral("&Правка"), this);
  const QString undo = QStringLiteral("Отменить");
  const QString redo = QStringLiteral("Повторить");
  undoAction_ = addCommand(*edit, undo, QIcon(), &TChildForm::UndoClick);
  undoAction_->setShortcuts(QKeySequence::Undo);
  redoAction_ = addCommand(*edit, redo, QIcon(), &TChildForm::RedoClick);
  redoAction_->setShortcuts(QKeySequence::keyBindings(QKeySequence::Redo) << QKeySequence(Qt::CTRL | Qt::Key_Y));
  undoAction_->setEnabled(false);
  redoAction_->setEnabled(false);
  connect(&undoStack_, &QUndoStack::canUndoChanged, undoAction_, &QAction::setEnabled);
  connect(&undoStack_, &QUndoStack::canRedoChanged, redoAction_, &QAction::setEnabled);
  connect(&undoStack_, &QUndoStack::undoTextChanged, undoAction_,
          [this, undo](const QString& step) { undoAction_->setText(historyText(undo, step)); });
  connect(&undoStack_, &QUndoStack::redoTextChanged, redoAction_,
          [this, redo](const QString& step) { redoAction_->setText(historyText(redo, step)); });
  edit->addSeparator();
  addCommand(*edit, QStringLiteral("Найти..."), QIcon(), &TChildForm::FindClick)->setShortcut(QKeySequence::Find);
  addCommand(*edit, QStringLiteral("Найти далее"), QIcon(), &TChildForm::FindNextClick)->setShortcut(Qt::Key_F3);
  addCommand(*edit, QStringLiteral("Найти ранее"), QIcon(), &TChildForm::FindPreviousClick)
      ->setShortcut(Qt::SHIFT | Qt::Key_F3);
  addCommand(*edit, QStringLiteral("Перейти к строке..."), QIcon(), &TChildForm::GoToRowClick)
      ->setShortcut(Qt::CTRL | Qt::Key_G);
  return edit;
}

// The find bar, while open, stands above the list.
void TChildForm::createFindBar() {
  findBar_ = new FindBar(listView_.view(), model_, this);
  if (auto* box = qobject_cast<QBoxLayout*>(layout())) box->insertWidget(0, findBar_);
}

void TChildForm::keepRecentFiles(QMenu& file, QAction* exit) {
  RecentFiles* recent = shared_.recentFiles;
  if (recent == nullptr) return;
  recent->addMenuTo(file, exit);
  files_.setFileUsedHandler([recent](const QString& path) { recent->add(path); });
  files_.setRecentFiles(recent);
}

void TChildForm::createPopup(const QList<QIcon>& icons) {
  PopupMenu1_ = new QMenu(this);
  editAction_ = addDocumentCommand(*PopupMenu1_, QStringLiteral("Редактировать"), iconIn(icons, CommandIcon::Edit),
                                   &TChildForm::EditClick);
  deleteAction_ = addDocumentCommand(*PopupMenu1_, QStringLiteral("Удалить"), iconIn(icons, CommandIcon::Delete),
                                     &TChildForm::DeleteClick);
  addAction_ = addDocumentCommand(*PopupMenu1_, QStringLiteral("Добавить"), iconIn(icons, CommandIcon::Add),
                                  &TChildForm::AddClick);
  // The list's own keys, shown in the popup and active while the list has the focus.
  editAction_->setShortcuts({Qt::Key_Return, Qt::Key_Enter, Qt::Key_F2});
  deleteAction_->setShortcut(QKeySequence::Delete);
  addAction_->setShortcut(Qt::Key_Insert);
  for (QAction* action : {editAction_, deleteAction_, addAction_}) {
    action->setShortcutContext(Qt::WidgetShortcut);
    listView_.view().addAction(action);
  }
  listView_.setPopup(*PopupMenu1_);
  ListView1SelectItem(-1, false);
}

void TChildForm::StartNew(const QString& docName) {
  state_.docName = docName;
  state_.docStarted = true;
  state_.docUntitled = true;
  state_.docModified = false;
  setWindowTitle(docName);
}

void TChildForm::Open(const std::function<bool(const QString&)>& openElsewhere) {
  if (const auto busy = beginCommand()) runGuarded(this, seam_, [this, &openElsewhere] { files_.Open(openElsewhere); });
}

SaveResult TChildForm::Save() {
  const auto busy = beginCommand();
  return busy ? files_.Save() : SaveResult::Skipped;
}

void TChildForm::SaveAsClick() {
  if (const auto busy = beginCommand()) files_.SaveAs();
}

void TChildForm::OpenFile(const QString& path) {
  if (const auto busy = beginCommand()) runGuarded(this, seam_, [this, &path] { files_.OpenFile(path); });
}

void TChildForm::ImportClick() {
  const auto busy = beginCommand();
  if (!busy) return;
  const int first = static_cast<int>(model_.list().size());
  if (files_.Import()) state_.docModified = true;
  commands_.recordAppendedRows(QStringLiteral("Импорт"), first);
}

void TChildForm::ImportFile(const QString& path) {
  const auto busy = beginCommand();
  if (!busy) return;
  const int first = static_cast<int>(model_.list().size());
  runGuarded(this, seam_, [this, &path] {
    if (files_.ImportFile(path)) state_.docModified = true;
  });
  commands_.recordAppendedRows(QStringLiteral("Импорт"), first);
}

void TChildForm::N13Click() {
  if (const auto busy = beginCommand()) files_.Export();
}

void TChildForm::N11Click() {
  const auto busy = beginCommand();
  if (!busy) return;
  if (shared_.zagruzForm != nullptr) shared_.zagruzForm->exec();
  const int first = static_cast<int>(model_.list().size());
  if (program_.receptionDone) files_.Obrabotka();
  commands_.recordAppendedRows(QStringLiteral("Загрузить"), first);
  program_.receptionDone = false;
  state_.docModified = true;
}

void TChildForm::N12Click() {
  const auto busy = beginCommand();
  if (!busy) return;
  if (!state_.docStarted || shared_.commSet == nullptr) return;
  uploadRecords(this, *shared_.commSet, list_, seam_);
}

void TChildForm::HelpClick() {
  if (shared_.internForm != nullptr) shared_.internForm->ShowManual();
}

void TChildForm::PlanClick() {
  if (!plan_) {
    plan_ = std::make_unique<DocumentPlan>(*this, listView_.view(), model_, seam_);
    placeSideWindow(*plan_);
  }
  plan_->show();
  plan_->window()->setSharedResults([this]() -> const survey::Results* {
    survey::ResultsWindow* results = survey_ ? survey_->window() : nullptr;
    return results != nullptr ? &results->results() : nullptr;
  });
  plan_->window()->setSharedAdjustment([this]() -> const survey::Adjustment* {
    survey::ResultsWindow* results = survey_ ? survey_->window() : nullptr;
    return results != nullptr ? results->adjustment() : nullptr;
  });
  plan_->window()->sharedChanged();
}

// A new adjustment, or the results window closed with its adjustment.
void TChildForm::surveyChanged() {
  if (plan_ && plan_->window() != nullptr) plan_->window()->sharedChanged();
}

DocumentSurvey& TChildForm::survey() {
  if (!survey_) {
    survey_ = std::make_unique<DocumentSurvey>(*this, listView_.view(), model_, seam_);
    placeSideWindow(*survey_);
    connect(survey_.get(), &DocumentSurvey::adjusted, this, &TChildForm::surveyChanged);
    connect(survey_.get(), &DocumentSideWindow::closed, this, &TChildForm::surveyChanged, Qt::QueuedConnection);
  }
  return *survey_;
}

void TChildForm::placeSideWindow(DocumentSideWindow& side) {
  connect(&side, &DocumentSideWindow::placing, this, &TChildForm::arrangeSideWindows);
  // Once the closed window has left the frame.
  connect(&side, &DocumentSideWindow::closed, this, &TChildForm::arrangeSideWindows, Qt::QueuedConnection);
}

void TChildForm::arrangeSideWindows() {
  auto* own = qobject_cast<QMdiSubWindow*>(parentWidget());
  if (own == nullptr) return;
  std::vector<SideWindowTiling::Side> sides;
  for (const DocumentSideWindow* side :
       {static_cast<DocumentSideWindow*>(plan_.get()), static_cast<DocumentSideWindow*>(survey_.get())}) {
    if (side != nullptr && side->frameWindow() != nullptr)
      sides.push_back({side->frameWindow(), side->widthTwentieths()});
  }
  tiling_.arrange(*own, sides);
  // The frame maximized or resized takes the tiled windows along.
  if (QMdiArea* area = own->mdiArea(); area != nullptr) area->viewport()->installEventFilter(this);
}

bool TChildForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize && tiling_.untouched()) {
    auto* own = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (own != nullptr && own->mdiArea() != nullptr && watched == own->mdiArea()->viewport())
      QMetaObject::invokeMethod(this, &TChildForm::arrangeSideWindows, Qt::QueuedConnection);
  }
  return QWidget::eventFilter(watched, event);
}

bool TChildForm::ownsWindow(const QMdiSubWindow& window) const {
  if (parentWidget() == &window) return true;
  return (plan_ && plan_->frameWindow() == &window) || (survey_ && survey_->frameWindow() == &window);
}

void TChildForm::SurveyClick() { survey().show(); }

void TChildForm::InsertCoordinatesClick() {
  const auto busy = beginCommand();
  if (!busy) return;
  InsertRowsCommand* step = survey().coordinateRows();
  if (step == nullptr) return;
  commands_.recordInsertedRows(step);
}

void TChildForm::EditClick() {
  if (const auto busy = beginCommand()) commands_.Edit();
}

void TChildForm::AddClick() {
  if (const auto busy = beginCommand()) commands_.Add();
}

void TChildForm::DeleteClick() {
  const auto busy = beginCommand();
  if (busy && commands_.Delete()) ListView1SelectItem(-1, false);
}

void TChildForm::selectionChanged() {
  const int row = listView_.selectedRow();
  ListView1SelectItem(row, row >= 0);
}

void TChildForm::ListView1SelectItem(int row, bool selected) {
  if (!selected || row < 0) {
    editAction_->setEnabled(false);
    deleteAction_->setEnabled(false);
    addAction_->setEnabled(false);
    return;
  }
  editAction_->setEnabled(IsEditableType(model_.list().typeCode(static_cast<std::size_t>(row))));
  deleteAction_->setEnabled(true);
  addAction_->setEnabled(true);
}

void TChildForm::UndoClick() {
  if (const auto busy = beginCommand()) commands_.Undo();
}

void TChildForm::RedoClick() {
  if (const auto busy = beginCommand()) commands_.Redo();
}

void TChildForm::FindClick() { findBar_->openBar(); }

void TChildForm::FindNextClick() { findBar_->findNext(); }

void TChildForm::FindPreviousClick() { findBar_->findPrevious(); }

void TChildForm::GoToRowClick() {
  if (const auto busy = beginCommand()) commands_.GoToRow();
}

bool TChildForm::FormCloseQuery() {
  if (busy_) return false;  // a running command still works on the rows
  if (!state_.docModified) return true;
  const Answer answer = seam_.confirmYesNoCancel(this, QStringLiteral("Сохранить изменения в ") + state_.docName);
  if (answer == Answer::Cancel) return false;
  if (answer == Answer::No) return true;
  // A window without a file asks for one rather than dropping its rows.
  const SaveResult result = state_.docStarted ? files_.Save() : files_.SaveToNewFile();
  return result == SaveResult::Written;
}

void TChildForm::closeWithoutQuery() { queryAnswered_ = true; }

void TChildForm::closeEvent(QCloseEvent* event) {
  if (!busy_ && (queryAnswered_ || FormCloseQuery()))
    event->accept();
  else
    event->ignore();
}

void TChildForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  listView_.fitColumn();
}

}  // namespace quillmar
