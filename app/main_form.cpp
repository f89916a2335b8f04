// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include "app/file_drop.h"
#include "app/splash_form.h"
#include "document/child_form.h"
#include "document/program_state.h"
#include "document/recent_files.h"
#include "document/shared_windows.h"
#include "help/intern_form.h"
#include "widgets/command_icons.h"
#include "widgets/standard_keys.h"
#include "widgets/window_placement.h"

namespace quillmar {
namespace {

constexpr int kToolBarHeight = 29;
constexpr int kMinimumDocumentWidth = 300;
constexpr int kMinimumDocumentHeight = 160;

// One file by two names (relative, through a link, in other letter case on
// a case-blind disk) is still one file.
bool sameFile(const QString& a, const QString& b) {
  std::error_code error;
  return std::filesystem::equivalent(std::filesystem::path(QFile::encodeName(a).toStdString()),
                                     std::filesystem::path(QFile::encodeName(b).toStdString()), error) &&
         !error;
}

// A sub-window's own menu closes it by the keys of the frame's "Закрыть
// окно" too; two owners of a key make the key do nothing.
void dropSystemMenuKeys(QMdiSubWindow& window) {
  for (QAction* action : window.actions()) action->setShortcuts({});
}

}  // namespace

TMainForm::TMainForm(ProgramState& program, SharedWindows& shared, DialogSeam& seam)
    : program_(program), shared_(shared), seam_(seam), documentIcons_(documentIcons()) {
  program_.newDocCounter = 0;
  setWindowTitle(QStringLiteral("Quillmar"));
  mdiArea_ = new QMdiArea(this);
  setCentralWidget(mdiArea_);
  createMenusAndToolBar();
  statusBar();
  connect(mdiArea_, &QMdiArea::subWindowActivated, this, &TMainForm::windowActivated);
  new FileDrop(*this, [this](const QStringList& paths) { OpenPaths(paths); });
  resize(812, 452);
  centreOnScreen(*this);
}

TMainForm::~TMainForm() {
  // The MDI area and its windows outlive this part of the frame: they must not call back.
  mdiArea_->disconnect(this);
  for (QMdiSubWindow* window : mdiArea_->findChildren<QMdiSubWindow*>()) window->disconnect(this);
}

void TMainForm::createMenusAndToolBar() {
  const QList<QIcon> icons = frameIcons();
  auto* file = new QMenu(QStringLiteral("&Файл"), this);
  QAction* newAction = file->addAction(iconIn(icons, CommandIcon::New), QStringLiteral("Новый"));
  newAction->setShortcuts(StandardKeys(QKeySequence::New));
  newAction->setToolTip(QStringLiteral("Новый файл"));
  connect(newAction, &QAction::triggered, this, &TMainForm::New);
  QAction* openAction = file->addAction(iconIn(icons, CommandIcon::Open), QStringLiteral("Открыть"));
  openAction->setShortcuts(StandardKeys(QKeySequence::Open));
  openAction->setToolTip(QStringLiteral("Открыть"));
  connect(openAction, &QAction::triggered, this, &TMainForm::Open);
  file->addSeparator();
  QAction* exitAction = file->addAction(iconIn(icons, CommandIcon::Exit), QStringLiteral("Выход"));
  exitAction->setShortcuts(StandardKeys(QKeySequence::Quit));
  connect(exitAction, &QAction::triggered, this, &QWidget::close);
  keepRecentFiles(*file, exitAction);

  auto* help = new QMenu(QStringLiteral("&Справка"), this);
  QAction* manual = help->addAction(iconIn(icons, CommandIcon::Help), QStringLiteral("Руководство пользователя"));
  manual->setShortcuts(StandardKeys(QKeySequence::HelpContents));
  connect(manual, &QAction::triggered, this, &TMainForm::HelpClick);
  frameMenus_ = {file, help};
  createWindowMenu();
  updateMenuBar();

  toolBar_ = addToolBar(QString());
  toolBar_->setMovable(false);
  toolBar_->setFloatable(false);
  toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
  toolBar_->setIconSize(QSize(16, 16));
  toolBar_->setFixedHeight(kToolBarHeight);
  // Buttons of their own: the menu's actions carry the shortcuts, which must
  // not be taken by the tool bar while a document's menus are shown.
  for (const QAction* command : {newAction, openAction}) {
    QAction* button = toolBar_->addAction(command->icon(), command->text());
    button->setToolTip(command->toolTip());
    connect(button, &QAction::triggered, command, &QAction::trigger);
  }
}

// Its commands are made once: their keys work whether or not the menu has
// been opened, and only while there is a window to work on.
void TMainForm::createWindowMenu() {
  windowMenu_ = new QMenu(QStringLiteral("&Окно"), this);
  windowCommands_ = {
      windowMenu_->addAction(QStringLiteral("Каскадом"), mdiArea_, &QMdiArea::cascadeSubWindows),
      windowMenu_->addAction(QStringLiteral("Мозаикой"), mdiArea_, &QMdiArea::tileSubWindows),
      windowMenu_->addAction(QStringLiteral("Закрыть окно"), mdiArea_, &QMdiArea::closeActiveSubWindow),
  };
  windowCommands_.last()->setShortcuts(StandardKeys(QKeySequence::Close));
  windowMenu_->addSeparator();
  connect(windowMenu_, &QMenu::aboutToShow, this, &TMainForm::fillWindowMenu);
  enableWindowCommands();
}

void TMainForm::enableWindowCommands() {
  const bool any = !mdiArea_->subWindowList().isEmpty();
  for (QAction* action : std::as_const(windowCommands_)) action->setEnabled(any);
}

void TMainForm::fillWindowMenu() {
  qDeleteAll(windowEntries_);
  windowEntries_.clear();
  int number = 0;
  for (QMdiSubWindow* window : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
    const QString title = QStringLiteral("&%1 %2").arg(++number).arg(window->windowTitle());
    QAction* entry = windowMenu_->addAction(title, this, [this, window] { mdiArea_->setActiveSubWindow(window); });
    entry->setCheckable(true);
    entry->setChecked(window == mdiArea_->currentSubWindow());
    windowEntries_ << entry;
  }
}

// Each new document window stands one title bar lower and to the right of the
// one made before it, and starts over at the top left where it would leave the area.
void TMainForm::placeNewWindow(QMdiSubWindow& window) {
  const QSize area = mdiArea_->viewport()->size();
  const int step = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window) + 4;
  const QSize size(std::max(area.width() * 3 / 4, kMinimumDocumentWidth),
                   std::max(area.height() * 3 / 4, kMinimumDocumentHeight));
  QPoint at;
  if (!lastPlaced_.isNull()) at = lastPlaced_->pos() + QPoint(step, step);
  if (at.y() + size.height() > area.height()) at.setY(0);
  if (at.x() + size.width() > area.width()) at.setX(0);
  window.setGeometry(QRect(at, size));
  lastPlaced_ = &window;
}

void TMainForm::keepRecentFiles(QMenu& file, QAction* exit) {
  if (shared_.recentFiles == nullptr) return;
  shared_.recentFiles->addMenuTo(file, exit);
  connect(shared_.recentFiles, &RecentFiles::fileChosen, this, &TMainForm::OpenPath);
}

TChildForm* TMainForm::createDocument() {
  auto* document = new TChildForm(program_, shared_, seam_, documentIcons_);
  QMdiSubWindow* window = mdiArea_->addSubWindow(document);
  placeNewWindow(*window);
  connect(document, &TChildForm::newRequested, this, &TMainForm::New);
  connect(document, &TChildForm::openRequested, this, &TMainForm::Open);
  connect(document, &TChildForm::exitRequested, this, &QWidget::close);
  connect(window, &QObject::destroyed, this, &TMainForm::updateMenuBar);
  document->setFileHeldElsewhere([this, document](const QString& path) {
    const TChildForm* holder = documentWithFile(path);
    return holder != nullptr && holder != document;
  });
  return document;
}

TChildForm* TMainForm::New() {
  ++program_.newDocCounter;
  TChildForm* document = createDocument();
  document->StartNew(QStringLiteral("Новый") + QString::number(program_.newDocCounter));
  document->show();
  return document;
}

TChildForm* TMainForm::Open() {
  TChildForm* document = createDocument();
  document->show();
  QPointer<TChildForm> holder;
  document->Open([this, &holder](const QString& path) {
    holder = documentWithFile(path);
    return !holder.isNull();
  });
  if (holder.isNull()) return document;
  document->closeWithoutQuery();
  delete document->parentWidget();
  activate(*holder);
  return holder;
}

TChildForm* TMainForm::OpenPath(const QString& name) {
  // The document keeps the full path, as the file dialog would give it.
  const QString path = QFileInfo(name).absoluteFilePath();
  if (TChildForm* holder = documentWithFile(path)) {
    activate(*holder);
    return holder;
  }
  if (QFileInfo(path).suffix().compare(QLatin1String("qdl"), Qt::CaseInsensitive) == 0) {
    TChildForm* document = createDocument();
    document->show();
    document->OpenFile(path);
    return document;
  }
  TChildForm* document = New();
  document->ImportFile(path);
  return document;
}

void TMainForm::OpenPaths(const QStringList& paths) {
  for (const QString& path : paths) OpenPath(path);
}

void TMainForm::HelpClick() {
  if (shared_.internForm != nullptr) shared_.internForm->ShowManual();
}

QList<TChildForm*> TMainForm::documents() const {
  QList<TChildForm*> result;
  for (QMdiSubWindow* window : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
    if (auto* document = qobject_cast<TChildForm*>(window->widget())) result << document;
  }
  return result;
}

TChildForm* TMainForm::activeDocument() const {
  // The current window stays current while another program has the focus.
  const QMdiSubWindow* window = mdiArea_->currentSubWindow();
  if (window == nullptr || !window->isVisible()) return nullptr;
  for (TChildForm* document : documents())
    if (document->ownsWindow(*window)) return document;
  return nullptr;
}

TChildForm* TMainForm::documentWithFile(const QString& path) const {
  for (TChildForm* document : documents()) {
    const DocumentState& state = document->documentState();
    if (state.docStarted && !state.docName.isEmpty() && sameFile(state.docName, path)) return document;
  }
  return nullptr;
}

void TMainForm::activate(TChildForm& document) {
  auto* window = qobject_cast<QMdiSubWindow*>(document.parentWidget());
  if (window == nullptr) return;
  if (window->isMinimized()) window->showNormal();
  mdiArea_->setActiveSubWindow(window);
}

void TMainForm::windowActivated(QMdiSubWindow* window) {
  // Its keys work only while it has the focus, which makes it the active one.
  if (window != nullptr) dropSystemMenuKeys(*window);
  updateMenuBar();
}

void TMainForm::updateMenuBar() {
  enableWindowCommands();
  const TChildForm* document = activeDocument();
  QList<QMenu*> menus = document != nullptr ? document->menus() : frameMenus_;
  // "Окно" stands before the last menu, "Справка".
  menus.insert(std::max<qsizetype>(menus.size() - 1, 0), windowMenu_);
  menuBar()->clear();
  for (QMenu* menu : menus) menuBar()->addMenu(menu);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  const QList<TChildForm*> open = documents();
  for (TChildForm* document : open) {
    if (!document->FormCloseQuery()) {
      event->ignore();
      return;
    }
  }
  for (TChildForm* document : open) document->closeWithoutQuery();
  mdiArea_->closeAllSubWindows();
  event->accept();
  emit frameClosed();
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (splashShown_ || splash_ == nullptr) return;
  splashShown_ = true;
  // After the frame itself is on the screen, so that the splash stacks above it.
  QTimer::singleShot(0, splash_, &TSplashForm::showCentred);
}

}  // namespace quillmar
