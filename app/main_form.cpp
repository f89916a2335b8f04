#include "app/main_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include "app/splash_form.h"
#include "document/child_form.h"
#include "document/program_state.h"
#include "document/shared_windows.h"
#include "help/intern_form.h"
#include "widgets/command_icons.h"

namespace quillmar {
namespace {

constexpr int kToolBarHeight = 29;

}  // namespace

TMainForm::TMainForm(ProgramState& program, SharedWindows& shared, DialogSeam& seam)
    : program_(program), shared_(shared), seam_(seam), documentIcons_(documentIcons()) {
  program_.newDocCounter = 0;
  setWindowTitle(QStringLiteral("Quillmar"));
  mdiArea_ = new QMdiArea(this);
  setCentralWidget(mdiArea_);
  createMenusAndToolBar();
  statusBar();
  connect(mdiArea_, &QMdiArea::subWindowActivated, this, &TMainForm::updateMenuBar);
  resize(812, 452);
  centreOnDesktop();
}

TMainForm::~TMainForm() {
  // The MDI area and its windows outlive this part of the frame: they must not call back.
  mdiArea_->disconnect(this);
  for (QMdiSubWindow* window : mdiArea_->findChildren<QMdiSubWindow*>()) window->disconnect(this);
}

void TMainForm::createMenusAndToolBar() {
  const QList<QIcon> icons = frameIcons();
  auto* file = new QMenu(QStringLiteral("Файл"), this);
  QAction* newAction = file->addAction(iconIn(icons, CommandIcon::New), QStringLiteral("Новый"));
  newAction->setToolTip(QStringLiteral("Новый файл"));
  connect(newAction, &QAction::triggered, this, &TMainForm::New);
  QAction* openAction = file->addAction(iconIn(icons, CommandIcon::Open), QStringLiteral("Открыть"));
  openAction->setToolTip(QStringLiteral("Открыть"));
  connect(openAction, &QAction::triggered, this, &TMainForm::Open);
  file->addSeparator();
  QAction* exitAction = file->addAction(iconIn(icons, CommandIcon::Exit), QStringLiteral("Выход"));
  connect(exitAction, &QAction::triggered, this, &QWidget::close);

  auto* help = new QMenu(QStringLiteral("Справка"), this);
  QAction* manual =
      help->addAction(iconIn(icons, CommandIcon::Help), QStringLiteral("Руководство пользователя"));
  connect(manual, &QAction::triggered, this, &TMainForm::HelpClick);
  frameMenus_ = {file, help};
  updateMenuBar();

  toolBar_ = addToolBar(QString());
  toolBar_->setMovable(false);
  toolBar_->setFloatable(false);
  toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
  toolBar_->setIconSize(QSize(16, 16));
  toolBar_->setFixedHeight(kToolBarHeight);
  toolBar_->addAction(newAction);
  toolBar_->addAction(openAction);
}

void TMainForm::centreOnDesktop() {
  const QScreen* desktop = screen();
  if (desktop == nullptr) return;
  move(desktop->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

TChildForm* TMainForm::createDocument() {
  auto* document = new TChildForm(program_, shared_, seam_, documentIcons_, this);
  QMdiSubWindow* window = mdiArea_->addSubWindow(document);
  connect(document, &TChildForm::newRequested, this, &TMainForm::New);
  connect(document, &TChildForm::openRequested, this, &TMainForm::Open);
  connect(document, &TChildForm::exitRequested, this, &QWidget::close);
  connect(window, &QObject::destroyed, this, &TMainForm::updateMenuBar);
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
  document->Open();
  return document;
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
  return qobject_cast<TChildForm*>(window->widget());
}

void TMainForm::updateMenuBar() {
  const TChildForm* document = activeDocument();
  const QList<QMenu*>& menus = document != nullptr ? document->menus() : frameMenus_;
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
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (splashShown_ || splash_ == nullptr) return;
  splashShown_ = true;
  splash_->showCentred();
}

}  // namespace quillmar
