#include "document/child_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeySequence>
#include <QMenu>
#include <QTreeView>

#include <algorithm>
#include <array>
#include <string_view>

#include "document/dialog_seam.h"
#include "document/find_bar.h"
#include "document/program_state.h"
#include "document/recent_files.h"
#include "document/shared_windows.h"
#include "editing/widgets/record_commands.h"
#include "help/intern_form.h"
#include "link/widgets/upload_runner.h"
#include "link/widgets/zagruz_form.h"

namespace quillmar {
namespace {

// The command pictures, by their place in the document window's set.
enum Icon { kNew, kOpen, kSave, kSaveAs, kImport, kExport, kExit, kReceive, kUpload, kHelp,
            kEdit, kDelete, kAdd };

// The record kinds that the edit dialog has fields for.
bool isEditableType(std::string_view typeCode) {
  constexpr std::array<std::string_view, 4> kEditable{"02", "03", "08", "09"};
  for (const auto type : kEditable)
    if (typeCode == type) return true;
  return false;
}

// "Отменить «Удалить»": the menu names the step it would undo or redo.
QString historyText(const QString& command, const QString& step) {
  return step.isEmpty() ? command : command + QStringLiteral(" «") + step + QStringLiteral("»");
}

// The list takes its size from the frame's outer size, not from its own window.
constexpr int kListWidthMargin = 15;
constexpr int kListHeightMargin = 120;
constexpr int kColumnMargin = 5;
// What the rule gives for the frame's design size of 812 by 452.
const QSize kListSizeWithoutFrame(797, 332);

}  // namespace

TChildForm::TChildForm(ProgramState& program, SharedWindows& shared, DialogSeam& seam,
                       const QList<QIcon>& icons, QWidget* frame)
    : program_(program),
      shared_(shared),
      seam_(seam),
      frame_(frame),
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
  connect(ListView1_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    PopupMenu1_->popup(ListView1_->viewport()->mapToGlobal(pos));
  });
}

template <typename Handler>
QAction* TChildForm::addCommand(QMenu& menu, const QString& text, const QIcon& icon,
                                Handler handler) {
  QAction* action = menu.addAction(icon, text);
  connect(action, &QAction::triggered, this, handler);
  return action;
}

void TChildForm::createMenus(const QList<QIcon>& icons) {
  auto* file = new QMenu(QStringLiteral("Файл"), this);
  addCommand(*file, QStringLiteral("Новый"), icons.value(kNew), &TChildForm::newRequested);
  addCommand(*file, QStringLiteral("Открыть"), icons.value(kOpen), &TChildForm::openRequested);
  addCommand(*file, QStringLiteral("Сохранить"), icons.value(kSave), &TChildForm::Save);
  addCommand(*file, QStringLiteral("Сохранить как"), icons.value(kSaveAs),
             &TChildForm::SaveAsClick);
  file->addSeparator();
  addCommand(*file, QStringLiteral("Импорт"), icons.value(kImport), &TChildForm::ImportClick);
  addCommand(*file, QStringLiteral("Экспорт"), icons.value(kExport), &TChildForm::N13Click);
  file->addSeparator();
  QAction* exit =
      addCommand(*file, QStringLiteral("Выход"), icons.value(kExit), &TChildForm::exitRequested);
  keepRecentFiles(*file, exit);

  QMenu* edit = createEditMenu();

  auto* link = new QMenu(QStringLiteral("Коммуникация"), this);
  addCommand(*link, QStringLiteral("Загрузить"), icons.value(kReceive), &TChildForm::N11Click);
  addCommand(*link, QStringLiteral("Выгрузить"), icons.value(kUpload), &TChildForm::N12Click);

  auto* help = new QMenu(QStringLiteral("Справка"), this);
  addCommand(*help, QStringLiteral("Руководство пользователя"), icons.value(kHelp),
             &TChildForm::HelpClick);
  menus_ = {file, edit, link, help};
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

void TChildForm::createFindBar() {
  findBar_ = new FindBar(*ListView1_, model_, this);
  connect(findBar_, &FindBar::visibilityChanged, this, &TChildForm::layoutList);
}

void TChildForm::keepRecentFiles(QMenu& file, QAction* exit) {
  RecentFiles* recent = shared_.recentFiles;
  if (recent == nullptr) return;
  recent->addMenuTo(file, exit);
  files_.setFileUsedHandler([recent](const QString& path) { recent->add(path); });
}

void TChildForm::createPopup(const QList<QIcon>& icons) {
  PopupMenu1_ = new QMenu(this);
  editAction_ = addCommand(*PopupMenu1_, QStringLiteral("Редактировать"), icons.value(kEdit),
                           &TChildForm::EditClick);
  deleteAction_ = addCommand(*PopupMenu1_, QStringLiteral("Удалить"), icons.value(kDelete),
                             &TChildForm::DeleteClick);
  addAction_ = addCommand(*PopupMenu1_, QStringLiteral("Добавить"), icons.value(kAdd),
                          &TChildForm::AddClick);
  ListView1SelectItem(-1, false);
}

void TChildForm::StartNew(const QString& docName) {
  state_.docName = docName;
  state_.docStarted = true;
  state_.docUntitled = true;
  state_.docModified = false;
  setWindowTitle(docName);
}

void TChildForm::Open() { files_.Open(); }

SaveResult TChildForm::Save() { return files_.Save(); }

void TChildForm::SaveAsClick() { files_.SaveAs(); }

void TChildForm::OpenFile(const QString& path) { files_.OpenFile(path); }

void TChildForm::ImportClick() {
  const int first = static_cast<int>(model_.list().size());
  if (files_.Import()) state_.docModified = true;
  recordAppendedRows(QStringLiteral("Импорт"), first);
}

void TChildForm::ImportFile(const QString& path) {
  const int first = static_cast<int>(model_.list().size());
  if (files_.ImportFile(path)) state_.docModified = true;
  recordAppendedRows(QStringLiteral("Импорт"), first);
}

void TChildForm::N13Click() { files_.Export(); }

void TChildForm::N11Click() {
  if (shared_.zagruzForm != nullptr) shared_.zagruzForm->exec();
  const int first = static_cast<int>(model_.list().size());
  if (program_.receptionDone) files_.Obrabotka();
  recordAppendedRows(QStringLiteral("Загрузить"), first);
  program_.receptionDone = false;
  state_.docModified = true;
}

void TChildForm::N12Click() {
  if (!state_.docStarted || shared_.commSet == nullptr) return;
  uploadRecords(this, *shared_.commSet, list_,
                [this](QWidget* parent, const QString& text) { seam_.showMessage(parent, text); });
}

void TChildForm::HelpClick() {
  if (shared_.internForm != nullptr) shared_.internForm->ShowManual();
}

void TChildForm::EditClick() {
  const int row = selectedRow();
  if (row < 0 || shared_.editForm == nullptr) return;
  RowContent before = rowContent(model_.list(), row);
  if (!runEditCommand(*shared_.editForm, model_.listForAppending(), static_cast<std::size_t>(row),
                      program_.captions))
    return;
  undoStack_.push(
      new ReplaceRowCommand(model_, row, std::move(before), rowContent(model_.list(), row)));
  state_.docModified = true;
}

void TChildForm::AddClick() {
  const int row = selectedRow();
  if (row < 0 || shared_.addForm == nullptr) return;
  state_.docModified = true;  // as soon as the command starts, added or not
  const char version = model_.list().record(static_cast<std::size_t>(row)).version;
  const auto added = runAddDialog(*shared_.addForm, version, program_.captions);
  if (!added) return;
  undoStack_.push(new InsertRowCommand(model_, row, RowContent{added->caption, added->record}));
  // The row that was selected moved down by one and stays selected.
  ListView1_->setCurrentIndex(model_.index(row + 1));
}

void TChildForm::DeleteClick() {
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
  const auto& record = model_.list().record(static_cast<std::size_t>(row));
  editAction_->setEnabled(isEditableType(record.typeCode.view()));
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
  if (!undoStack_.canUndo()) return;
  undoStack_.undo();
  afterHistoryStep(true);
}

void TChildForm::RedoClick() {
  if (!undoStack_.canRedo()) return;
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
  const int rows = model_.rowCount();
  if (rows == 0) return;
  const QModelIndex current = ListView1_->currentIndex();
  const auto row = seam_.askRowNumber(this, current.isValid() ? current.row() + 1 : 1, rows);
  if (!row) return;
  showRow(*ListView1_, std::clamp(*row, 1, rows) - 1);
  ListView1_->setFocus(Qt::OtherFocusReason);
}

bool TChildForm::FormCloseQuery() {
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
  if (queryAnswered_ || FormCloseQuery())
    event->accept();
  else
    event->ignore();
}

void TChildForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  layoutList();
}

void TChildForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layoutList();
}

QSize TChildForm::listSize() const {
  if (frame_.isNull()) return kListSizeWithoutFrame;
  const QSize outer = frame_->frameGeometry().size();
  return {outer.width() - kListWidthMargin, outer.height() - kListHeightMargin};
}

QSize TChildForm::sizeHint() const { return listSize(); }

void TChildForm::layoutList() {
  const QSize size = listSize();
  // The find bar, while open, stands above the list.
  int top = 0;
  if (findBar_ != nullptr && !findBar_->isHidden()) {
    top = findBar_->sizeHint().height();
    findBar_->setGeometry(0, 0, width(), top);
  }
  ListView1_->setGeometry(0, top, size.width(), size.height() - top);
  ListView1_->header()->resizeSection(0, size.width() - kColumnMargin);
}

}  // namespace quillmar
