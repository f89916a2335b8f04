#include "document/child_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QContextMenuEvent>
#include <QKeySequence>
#include <QMenu>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>
#include <string_view>

#include "document/command_guard.h"
#include "document/document_plan.h"
#include "document/find_bar.h"
#include "document/program_state.h"
#include "document/recent_files.h"
#include "document/shared_windows.h"
#include "editing/widgets/record_commands.h"
#include "help/intern_form.h"
#include "link/widgets/upload_runner.h"
#include "link/widgets/zagruz_form.h"
#include "records/record_layout.h"
#include "widgets/command_icons.h"
#include "widgets/control_pictures.h"
#include "widgets/dialog_seam.h"
#include "widgets/standard_keys.h"

namespace quillmar {
namespace {

// "Отменить «Удалить»": the menu names the step it would undo or redo.
QString historyText(const QString& command, const QString& step) {
  return step.isEmpty() ? command : command + QStringLiteral(" «") + step + QStringLiteral("»");
}

// Room after the longest caption, so that its end is seen clear of the edge.
constexpr int kColumnMargin = 8;

}  // namespace

TChildForm::TChildForm(ProgramState& program, SharedWindows& shared, DialogSeam& seam,
                       const QList<QIcon>& icons)
    : program_(program),
      shared_(shared),
      seam_(seam),
      files_(*this, state_, model_, program, seam) {
  setWindowTitle(QStringLiteral("ChildForm"));
  createList();
  createFindBar();
  createMenus(icons);
  createPopup(icons);
}

TChildForm::~TChildForm() { ListView1_->setModel(nullptr); }

void TChildForm::createList() {
  ListView1_ = new QTreeView(this);
  ListView1_->setObjectName(QStringLiteral("ListView1"));
  ListView1_->setItemDelegate(new ControlPictureDelegate(ListView1_));
  // The list fills its window, whatever the frame's size.
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(ListView1_);
  ListView1_->setModel(&model_);
  ListView1_->setHeaderHidden(true);
  ListView1_->setRootIsDecorated(false);
  ListView1_->setItemsExpandable(false);
  ListView1_->setUniformRowHeights(true);
  ListView1_->setAllColumnsShowFocus(true);
  ListView1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ListView1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1_->header()->setStretchLastSection(false);
  ListView1_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(ListView1_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &TChildForm::selectionChanged);
  connect(ListView1_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &TChildForm::selectionChanged);
  connect(&model_, &QAbstractItemModel::rowsInserted, this,
          [this](const QModelIndex&, int first, int last) { widenColumnFor(first, last); });
  connect(&model_, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& first, const QModelIndex& last) { widenColumnFor(first.row(), last.row()); });
  connect(&model_, &QAbstractItemModel::rowsRemoved, this, [this] {
    longestCaption_ = 0;
    widenColumnFor(0, model_.rowCount() - 1);
  });
  connect(ListView1_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    PopupMenu1_->popup(ListView1_->viewport()->mapToGlobal(pos));
  });
  ListView1_->installEventFilter(this);
}

template <typename Handler>
QAction* TChildForm::addCommand(QMenu& menu, const QString& text, const QIcon& icon,
                                Handler handler) {
  QAction* action = menu.addAction(icon, text);
  connect(action, &QAction::triggered, this, [this, handler] {
    runGuarded(this, seam_, [this, handler] { (this->*handler)(); });
  });
  return action;
}

template <typename Handler>
QAction* TChildForm::addDocumentCommand(QMenu& menu, const QString& text, const QIcon& icon,
                                        Handler handler) {
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

void TChildForm::createMenus(const QList<QIcon>& icons) {
  auto* file = new QMenu(QStringLiteral("Файл"), this);
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

  auto* link = new QMenu(QStringLiteral("Коммуникация"), this);
  addDocumentCommand(*link, QStringLiteral("Загрузить"), iconIn(icons, CommandIcon::Receive), &TChildForm::N11Click);
  addDocumentCommand(*link, QStringLiteral("Выгрузить"), iconIn(icons, CommandIcon::Upload), &TChildForm::N12Click);

  auto* view = new QMenu(QStringLiteral("Вид"), this);
  addCommand(*view, QStringLiteral("План"), QIcon(), &TChildForm::PlanClick);

  auto* help = new QMenu(QStringLiteral("Справка"), this);
  addCommand(*help, QStringLiteral("Руководство пользователя"), iconIn(icons, CommandIcon::Help),
             &TChildForm::HelpClick)
      ->setShortcuts(StandardKeys(QKeySequence::HelpContents));
  menus_ = {file, edit, link, view, help};
}

QMenu* TChildForm::createEditMenu() {
  auto* edit = new QMenu(QStringLiteral("Правка"), this);
  const QString undo = QStringLiteral("Отменить");
  const QString redo = QStringLiteral("Повторить");
  undoAction_ = addCommand(*edit, undo, QIcon(), &TChildForm::UndoClick);
  undoAction_->setShortcuts(QKeySequence::Undo);
  redoAction_ = addCommand(*edit, redo, QIcon(), &TChildForm::RedoClick);
  redoAction_->setShortcuts(QKeySequence::keyBindings(QKeySequence::Redo)
                            << QKeySequence(Qt::CTRL | Qt::Key_Y));
  undoAction_->setEnabled(false);
  redoAction_->setEnabled(false);
  connect(&undoStack_, &QUndoStack::canUndoChanged, undoAction_, &QAction::setEnabled);
  connect(&undoStack_, &QUndoStack::canRedoChanged, redoAction_, &QAction::setEnabled);
  connect(&undoStack_, &QUndoStack::undoTextChanged, undoAction_,
          [this, undo](const QString& step) { undoAction_->setText(historyText(undo, step)); });
  connect(&undoStack_, &QUndoStack::redoTextChanged, redoAction_,
          [this, redo](const QString& step) { redoAction_->setText(historyText(redo, step)); });
  edit->addSeparator();
  addCommand(*edit, QStringLiteral("Найти..."), QIcon(), &TChildForm::FindClick)
      ->setShortcut(QKeySequence::Find);
  addCommand(*edit, QStringLiteral("Найти далее"), QIcon(), &TChildForm::FindNextClick)
      ->setShortcut(Qt::Key_F3);
  addCommand(*edit, QStringLiteral("Найти ранее"), QIcon(), &TChildForm::FindPreviousClick)
      ->setShortcut(Qt::SHIFT | Qt::Key_F3);
  addCommand(*edit, QStringLiteral("Перейти к строке..."), QIcon(), &TChildForm::GoToRowClick)
      ->setShortcut(Qt::CTRL | Qt::Key_G);
  return edit;
}

// The find bar, while open, stands above the list.
void TChildForm::createFindBar() {
  findBar_ = new FindBar(*ListView1_, model_, this);
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
    ListView1_->addAction(action);
  }
  ListView1SelectItem(-1, false);
}

// The Menu key (or Shift+F10) opens the popup under the current row, not
// where the toolkit guesses a text cursor to be.
bool TChildForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched != ListView1_ || event->type() != QEvent::ContextMenu ||
      static_cast<const QContextMenuEvent*>(event)->reason() != QContextMenuEvent::Keyboard)
    return QWidget::eventFilter(watched, event);
  const QRect row = ListView1_->visualRect(ListView1_->currentIndex());
  const QPoint at = row.isValid() ? QPoint(row.left() + row.height(), row.bottom()) : QPoint(0, 0);
  PopupMenu1_->popup(ListView1_->viewport()->mapToGlobal(at));
  return true;
}

void TChildForm::StartNew(const QString& docName) {
  state_.docName = docName;
  state_.docStarted = true;
  state_.docUntitled = true;
  state_.docModified = false;
  setWindowTitle(docName);
}

void TChildForm::Open() {
  if (const auto busy = beginCommand()) runGuarded(this, seam_, [this] { files_.Open(); });
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
  recordAppendedRows(QStringLiteral("Импорт"), first);
}

void TChildForm::ImportFile(const QString& path) {
  const auto busy = beginCommand();
  if (!busy) return;
  const int first = static_cast<int>(model_.list().size());
  runGuarded(this, seam_, [this, &path] {
    if (files_.ImportFile(path)) state_.docModified = true;
  });
  recordAppendedRows(QStringLiteral("Импорт"), first);
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
  recordAppendedRows(QStringLiteral("Загрузить"), first);
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
  if (!plan_) plan_ = std::make_unique<DocumentPlan>(*this, *ListView1_, model_, seam_);
  plan_->show();
}

void TChildForm::EditClick() {
  const auto busy = beginCommand();
  if (!busy) return;
  const int row = selectedRow();
  if (row < 0 || shared_.editForm == nullptr) return;
  const auto index = static_cast<std::size_t>(row);
  const RecordList::RowRef before = model_.list().rowRef(index);
  if (!runEditCommand(*shared_.editForm, model_.listForAppending(), index, program_.captions))
    return;
  undoStack_.push(new ReplaceRowCommand(model_, row, before, model_.list().rowRef(index)));
  state_.docModified = true;
}

void TChildForm::AddClick() {
  const auto busy = beginCommand();
  if (!busy) return;
  const int row = selectedRow();
  if (row < 0 || shared_.addForm == nullptr) return;
  state_.docModified = true;  // as soon as the command starts, added or not
  const char version = model_.list().version(static_cast<std::size_t>(row));
  const auto added = runAddDialog(*shared_.addForm, version, program_.captions);
  if (!added) return;
  undoStack_.push(new InsertRowCommand(model_, row, RowContent{added->caption, added->record}));
  // The row that was selected moved down by one and stays selected.
  ListView1_->setCurrentIndex(model_.index(row + 1));
}

void TChildForm::DeleteClick() {
  const auto busy = beginCommand();
  if (!busy) return;
  const std::vector<RowRange> ranges = selectedRanges();
  int rows = 0;
  for (const RowRange& range : ranges) rows += range.count;
  if (rows == 0) return;
  const QString question = rows == 1
                               ? QStringLiteral("Удалить запись ?")
                               : QStringLiteral("Удалить выделенные записи (%1) ?").arg(rows);
  if (!seam_.confirmYesNo(this, question)) return;
  undoStack_.push(new RemoveRowsCommand(model_, ranges));
  ListView1_->clearSelection();
  ListView1SelectItem(-1, false);
  state_.docModified = true;
}

void TChildForm::selectionChanged() {
  const int row = selectedRow();
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

int TChildForm::selectedRow() const {
  const QModelIndex current = ListView1_->currentIndex();
  if (current.isValid() && ListView1_->selectionModel()->isRowSelected(current.row()))
    return current.row();
  const std::vector<RowRange> ranges = selectedRanges();
  return ranges.empty() ? -1 : ranges.front().first;
}

std::vector<RowRange> TChildForm::selectedRanges() const {
  std::vector<RowRange> ranges;
  for (const QItemSelectionRange& range : ListView1_->selectionModel()->selection())
    ranges.push_back({range.top(), range.height()});
  return mergedRanges(std::move(ranges));
}

void TChildForm::selectRows(const std::vector<RowRange>& ranges) {
  QItemSelection selection;
  for (const RowRange& range : ranges)
    selection.select(model_.index(range.first), model_.index(range.first + range.count - 1));
  QItemSelectionModel& selected = *ListView1_->selectionModel();
  selected.select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  if (!ranges.empty()) {
    const QModelIndex first = model_.index(ranges.front().first);
    selected.setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    ListView1_->scrollTo(first);
  }
  selectionChanged();
}

void TChildForm::recordAppendedRows(const QString& command, int first) {
  const int count = static_cast<int>(model_.list().size()) - first;
  if (count > 0) undoStack_.push(new AppendRowsCommand(command, model_, first, count));
}

void TChildForm::UndoClick() {
  const auto busy = beginCommand();
  if (!busy || !undoStack_.canUndo()) return;
  undoStack_.undo();
  afterHistoryStep(true);
}

void TChildForm::RedoClick() {
  const auto busy = beginCommand();
  if (!busy || !undoStack_.canRedo()) return;
  undoStack_.redo();
  afterHistoryStep(false);
}

void TChildForm::afterHistoryStep(bool undone) {
  state_.docModified = true;
  const int step = undone ? undoStack_.index() : undoStack_.index() - 1;
  const auto* command = static_cast<const RowCommand*>(undoStack_.command(step));
  selectRows(command->rowsToSelect(undone));
}

void TChildForm::FindClick() { findBar_->openBar(); }

void TChildForm::FindNextClick() { findBar_->findNext(); }

void TChildForm::FindPreviousClick() { findBar_->findPrevious(); }

void TChildForm::GoToRowClick() {
  const auto busy = beginCommand();
  const int rows = model_.rowCount();
  if (!busy || rows == 0) return;
  const QModelIndex current = ListView1_->currentIndex();
  const auto row = seam_.askRowNumber(this, current.isValid() ? current.row() + 1 : 1, rows);
  if (!row) return;
  showRow(*ListView1_, std::clamp(*row, 1, rows) - 1);
  ListView1_->setFocus(Qt::OtherFocusReason);
}

bool TChildForm::FormCloseQuery() {
  if (busy_) return false;  // a running command still works on the rows
  if (!state_.docModified) return true;
  const Answer answer = seam_.confirmYesNoCancel(
      this, QStringLiteral("Сохранить изменения в ") + state_.docName);
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
  fitColumn();
}

// Horizontal scrolling reaches the end of the longest caption. Only the
// longest by length is measured, so a million rows cost one pass of lengths.
void TChildForm::widenColumnFor(int first, int last) {
  if (last >= std::max(first, 0)) {
    const auto longest =
        model_.list().longestCaption(static_cast<std::size_t>(std::max(first, 0)), static_cast<std::size_t>(last));
    if (longest.length > 0 && longest.length >= longestCaption_) {
      longestCaption_ = longest.length;
      longestRow_ = static_cast<int>(longest.row);
    }
  }
  fitColumn();
}

void TChildForm::fitColumn() {
  int width = 0;
  if (longestCaption_ > 0 && longestRow_ < model_.rowCount())
    width = ListView1_->sizeHintForIndex(model_.index(longestRow_)).width() + kColumnMargin;
  ListView1_->header()->resizeSection(0, std::max(width, ListView1_->viewport()->width()));
}

}  // namespace quillmar
