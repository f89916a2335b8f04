// SPDX-License-Identifier: GPL-3.0-or-later
// Keys in every state of the windows: each key that works has one owner
// (two owners make the toolkit ignore the key), Alt and a menu's marked
// letter open that menu, and Ctrl+W closes the active one of several windows.

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMap>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QTest>
#include <QTreeView>

#include <functional>
#include <set>

#include "document/child_form.h"
#include "document/document_plan.h"
#include "document/document_survey.h"
#include "gui_fixture.h"

namespace quillmar::test {
namespace {

// Whether the toolkit would hand a key of `context` owned by `widget` to it
// now: the rules of the toolkit's shortcut map, for the active window.
bool reachable(const QWidget& widget, Qt::ShortcutContext context) {
  if (!widget.isVisible() || !widget.isEnabled()) return false;
  const QWidget* focus = QApplication::focusWidget();
  if (context == Qt::ApplicationShortcut) return true;
  if (context == Qt::WidgetShortcut) return focus == &widget;
  if (context == Qt::WidgetWithChildrenShortcut) return focus != nullptr && widget.isAncestorOf(focus);
  if (widget.window() != QApplication::activeWindow()) return false;
  // Inside a sub-window of the frame: only while the focus is in that sub-window.
  const QWidget* holder = &widget;
  while (holder != nullptr && holder->windowType() != Qt::SubWindow && !holder->isWindow())
    holder = holder->parentWidget();
  if (holder == nullptr || holder->windowType() != Qt::SubWindow) return true;
  return focus != nullptr && (focus == holder || holder->isAncestorOf(focus));
}

bool reachable(const QAction& action, Qt::ShortcutContext context) {
  for (const QObject* object : action.associatedObjects()) {
    if (const auto* menu = qobject_cast<const QMenu*>(object)) {
      const QAction* opener = menu->menuAction();
      if (opener->isVisible() && opener->isEnabled() && reachable(*opener, context)) return true;
    } else if (const auto* widget = qobject_cast<const QWidget*>(object)) {
      if (reachable(*widget, context)) return true;
    }
  }
  return false;
}

using Owners = QMap<QString, QStringList>;  // key -> who answers it

void addKeys(Owners& owners, const QList<QKeySequence>& keys, const QString& owner) {
  for (const QKeySequence& key : keys)
    if (!key.isEmpty()) owners[key.toString(QKeySequence::PortableText)] << owner;
}

// Every action, shortcut and menu-bar letter of every window that works now.
Owners liveKeys() {
  Owners owners;
  std::set<const QObject*> seen;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    for (QAction* action : top->findChildren<QAction*>()) {
      if (!seen.insert(action).second) continue;
      if (action->isEnabled() && action->isVisible() && reachable(*action, action->shortcutContext()))
        addKeys(owners, action->shortcuts(), action->text());
    }
    for (QShortcut* shortcut : top->findChildren<QShortcut*>()) {
      const auto* parent = qobject_cast<const QWidget*>(shortcut->parent());
      if (shortcut->isEnabled() && parent != nullptr && reachable(*parent, shortcut->context()))
        addKeys(owners, shortcut->keys(), shortcut->objectName());
    }
    for (const QMenuBar* bar : top->findChildren<QMenuBar*>()) {
      if (!reachable(*bar, Qt::WindowShortcut)) continue;
      for (const QAction* menu : bar->actions())
        addKeys(owners, {QKeySequence::mnemonic(menu->text())}, QStringLiteral("menu ") + menu->text());
    }
  }
  return owners;
}

class ShortcutsTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    frame_->show();
    QCoreApplication::processEvents();  // the splash is up
    QApplication::setActiveWindow(frame_.get());
  }
  // Where the user would be after clicking into `widget`.
  void focusOn(QWidget& widget) {
    for (QWidget* up = widget.parentWidget(); up != nullptr; up = up->parentWidget())
      if (auto* window = qobject_cast<QMdiSubWindow*>(up)) {
        frame_->mdiArea().setActiveSubWindow(window);
        break;
      }
    QApplication::setActiveWindow(frame_.get());
    widget.setFocus();
    QCoreApplication::processEvents();
  }
  static QWidget& sideWidget(DocumentSideWindow& side) { return *side.frameWindow()->widget(); }
};

TEST_F(ShortcutsTest, everyKeyHasOneOwner_inEveryStateOfTheWindows) {
  struct State {
    const char* name;
    std::function<void()> enter;
  };
  TChildForm* first = nullptr;
  TChildForm* second = nullptr;
  const State states[] = {
      {"no document", [&] { focusOn(*frame_); }},
      {"one document",
       [&] {
         first = newDocumentWith(sampleFieldBook());
         focusOn(first->listView());
       }},
      {"second of two documents",
       [&] {
         second = newDocumentWith(sampleFieldBook());
         focusOn(second->listView());
       }},
      {"first of two documents", [&] { focusOn(first->listView()); }},
      {"plan active",
       [&] {
         first->PlanClick();
         focusOn(sideWidget(*first->plan()));
       }},
      {"results active",
       [&] {
         first->SurveyClick();
         focusOn(sideWidget(first->survey()));
       }},
      {"document beside its plan and results", [&] { focusOn(first->listView()); }},
      {"other document while the first has its side windows", [&] { focusOn(second->listView()); }},
  };
  for (const State& state : states) {
    SCOPED_TRACE(state.name);
    state.enter();
    for (const bool windowMenuOpened : {false, true}) {
      SCOPED_TRACE(windowMenuOpened ? "after the window menu was opened" : "before");
      if (windowMenuOpened) emit frame_->windowMenu().aboutToShow();
      const Owners owners = liveKeys();
      EXPECT_TRUE(owners.contains(QStringLiteral("Ctrl+N"))) << "the test reaches the menus' keys";
      EXPECT_EQ(owners.contains(QStringLiteral("Ctrl+W")), !frame_->documents().isEmpty());
      for (auto it = owners.cbegin(); it != owners.cend(); ++it)
        EXPECT_EQ(it.value().size(), 1) << it.key().toStdString() << ": " << it.value().join(", ").toStdString();
    }
  }
}

TEST_F(ShortcutsTest, ctrlW_closesTheActiveOneOfSeveralDocuments_beforeAndAfterTheWindowMenuOpens) {
  TChildForm* first = newDocumentWith(sampleFieldBook());
  TChildForm* second = frame_->New();
  TChildForm* third = frame_->New();
  for (TChildForm* closing : {third, second}) {
    focusOn(closing->listView());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::ControlModifier);
    deleteClosedWindows();
    EXPECT_FALSE(frame_->documents().contains(closing));
    emit frame_->windowMenu().aboutToShow();
  }
  EXPECT_EQ(frame_->documents(), QList<TChildForm*>({first}));
}

TEST_F(ShortcutsTest, altAndTheMarkedLetter_opensEachMenu_whoseTitleShowsUnchanged) {
  TChildForm* document = newDocumentWith(sampleFieldBook());
  focusOn(document->listView());
  QStringList shown;
  for (QAction* entry : frame_->menuBar()->actions()) {
    const QKeySequence key = QKeySequence::mnemonic(entry->text());
    SCOPED_TRACE(entry->text().toStdString());
    ASSERT_EQ(key.count(), 1) << "no letter marked";
    // A Cyrillic letter, which QTest cannot spell from the key code alone.
    const QString letter = QString(QChar(static_cast<char16_t>(key[0].key()))).toLower();
    for (const QTest::KeyAction action : {QTest::Press, QTest::Release})
      QTest::sendKeyEvent(action, QApplication::focusWidget(), key[0].key(), letter, key[0].keyboardModifiers());
    EXPECT_TRUE(entry->menu()->isVisible());
    entry->menu()->hide();
    shown << QString(entry->text()).remove(QLatin1Char('&'));
  }
  EXPECT_EQ(shown, QStringList({"Файл", "Правка", "Коммуникация", "Вид", "Вычисления", "Окно", "Справка"}));
}

}  // namespace
}  // namespace quillmar::test
