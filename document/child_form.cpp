#include "document/child_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QMenu>
#include <QTreeView>

#include <array>
#include <string_view>

#include "document/dialog_seam.h"
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
  ListView1_->setSelectionMode(QAbstractItemView::SingleSelection);
  ListView1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1_->header()->setStretchLastSection(false);
  ListView1_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(ListView1_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
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

  auto* link = new QMenu(QStringLiteral("Коммуникация"), this);
  addCommand(*link, QStringLiteral("Загрузить"), icons.value(kReceive), &TChildForm::N11Click);
  addCommand(*link, QStringLiteral("Выгрузить"), icons.value(kUpload), &TChildForm::N12Click);

  auto* help = new QMenu(QStringLiteral("Справка"), this);
  addCommand(*help, QStringLiteral("Руководство пользователя"), icons.value(kHelp),
             &TChildForm::HelpClick);
  menus_ = {file, link, help};
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
  if (files_.Import()) state_.docModified = true;
}

void TChildForm::ImportFile(const QString& path) {
  if (files_.ImportFile(path)) state_.docModified = true;
}

void TChildForm::N13Click() { files_.Export(); }

void TChildForm::N11Click() {
  if (shared_.zagruzForm != nullptr) shared_.zagruzForm->exec();
  if (program_.receptionDone) files_.Obrabotka();
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
  if (!runEditCommand(*shared_.editForm, model_.listForAppending(), static_cast<std::size_t>(row),
                      program_.captions))
    return;
  model_.refreshRow(row);
  state_.docModified = true;
}

void TChildForm::AddClick() {
  const int row = selectedRow();
  if (row < 0 || shared_.addForm == nullptr) return;
  state_.docModified = true;  // as soon as the command starts, added or not
  const char version = model_.list().version(static_cast<std::size_t>(row));
  const auto added = runAddDialog(*shared_.addForm, version, program_.captions);
  if (!added) return;
  model_.insertRecord(row, added->caption, added->record);
  // The row that was selected moved down by one and stays selected.
  ListView1_->setCurrentIndex(model_.index(row + 1));
}

void TChildForm::DeleteClick() {
  const int row = selectedRow();
  if (row < 0) return;
  if (!seam_.confirmYesNo(this, QStringLiteral("Удалить запись ?"))) return;
  model_.removeRecord(row);
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
  editAction_->setEnabled(isEditableType(model_.list().typeCode(static_cast<std::size_t>(row))));
  deleteAction_->setEnabled(true);
  addAction_->setEnabled(true);
}

int TChildForm::selectedRow() const {
  const QModelIndexList rows = ListView1_->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.constFirst().row();
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
  ListView1_->setGeometry(0, 0, size.width(), size.height());
  ListView1_->header()->resizeSection(0, size.width() - kColumnMargin);
}

}  // namespace quillmar
