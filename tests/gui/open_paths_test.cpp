// SPDX-License-Identifier: GPL-3.0-or-later
// Files named from outside the windows: on the command line, dropped on the
// frame, or chosen from the recent files.

#include <QAction>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QUrl>

#include <functional>
#include <memory>

#include "app/startup.h"
#include "document/child_form.h"
#include "document/recent_files.h"
#include "document/record_list_model.h"
#include "gui_fixture.h"

namespace quillmar::test {
namespace {

class OpenPathsTest : public GuiTest {
 protected:
  // The frame again, this time keeping its recent files in the test's folder.
  void keepRecentFiles() {
    frame_.reset();
    recent_ = std::make_unique<RecentFiles>(settingsFile());
    shared_.recentFiles = recent_.get();
    frame_ = createLongLivedWindows(program_, shared_, seam_);
  }
  std::unique_ptr<QSettings> settingsFile() const {
    return std::make_unique<QSettings>(path("recent.conf"), QSettings::IniFormat);
  }
  static QMenu* recentMenuIn(QMenu& fileMenu) {
    emit fileMenu.aboutToShow();
    for (QAction* action : fileMenu.actions())
      if (action->menu() != nullptr) return action->menu();
    return nullptr;
  }

  std::unique_ptr<RecentFiles> recent_;
};

struct Opened {
  QString caption;
  int rows;
  bool modified;
  bool untitled;
};

TEST_F(OpenPathsTest, recordFilesOpen_otherFilesAreImportedIntoNewDocuments) {
  writeFile("book.qdl", recordFileBytes(sampleFieldBook()));
  writeFile("BOOK2.QDL", recordFileBytes({sampleFieldBook().front()}));
  writeFile("field.sdr", sdrText(sampleFieldBook()));
  writeFile("notes.txt", sdrText({sampleFieldBook().front()}));
  const QStringList names{"book.qdl", "field.sdr", "BOOK2.QDL", "notes.txt"};
  const QList<Opened> expected{{path("book.qdl"), 7, false, false},
                               {"Новый1", 7, true, true},
                               {path("BOOK2.QDL"), 1, false, false},
                               {"Новый2", 1, true, true}};

  frame_->OpenPaths(names);  // relative to the current folder

  const QList<TChildForm*> documents = frame_->documents();
  ASSERT_EQ(documents.size(), expected.size());
  for (int i = 0; i < documents.size(); ++i) {
    SCOPED_TRACE(names.at(i).toStdString());
    EXPECT_EQ(documents[i]->windowTitle(), expected[i].caption);
    EXPECT_EQ(documents[i]->recordModel().rowCount(), expected[i].rows);
    EXPECT_EQ(documents[i]->documentState().docModified, expected[i].modified);
    EXPECT_EQ(documents[i]->documentState().docUntitled, expected[i].untitled);
  }
  EXPECT_TRUE(seam_.errors.isEmpty());
}

TEST_F(OpenPathsTest, aMissingFile_isReportedAsTheMenuCommandReportsIt) {
  TChildForm* opened = frame_->OpenPath(QStringLiteral("gone.qdl"));
  TChildForm* imported = frame_->OpenPath(QStringLiteral("gone.sdr"));

  EXPECT_EQ(seam_.errors, QStringList({"File not found", "File not found"}));
  EXPECT_EQ(opened->windowTitle(), "ChildForm");
  EXPECT_EQ(imported->windowTitle(), "Новый1");
  EXPECT_EQ(opened->recordModel().rowCount() + imported->recordModel().rowCount(), 0);
}

TEST_F(OpenPathsTest, recentFiles_newestFirstWithoutRepeats_sharedByEveryProgramThatUsesTheFile) {
  RecentFiles first(settingsFile());
  for (int i = 0; i < RecentFiles::kLimit + 2; ++i) first.add(path(QStringLiteral("f%1.sdr").arg(i)));
  first.add(QStringLiteral("f3.sdr"));  // relative: kept by its full path

  RecentFiles second(settingsFile());
  const QStringList files = second.files();
  ASSERT_EQ(files.size(), RecentFiles::kLimit);
  EXPECT_EQ(files.first(), path("f3.sdr"));
  EXPECT_EQ(files.at(1), path("f11.sdr"));
  EXPECT_EQ(files.count(path("f3.sdr")), 1);
  EXPECT_FALSE(files.contains(path("f0.sdr")));
}

TEST_F(OpenPathsTest, everyFileMenu_listsTheFilesUsed_andChoosingOneOpensIt) {
  keepRecentFiles();
  frame_->show();
  writeFile("field.sdr", sdrText(sampleFieldBook()));
  QMenu* frameRecent = recentMenuIn(*frame_->frameMenus().first());
  ASSERT_NE(frameRecent, nullptr);
  EXPECT_FALSE(frameRecent->menuAction()->isEnabled());

  TChildForm* document = frame_->OpenPath(QStringLiteral("field.sdr"));
  seam_.answerSave(path("saved.qdl"));
  document->SaveAsClick();

  QMenu* documentRecent = recentMenuIn(*document->menus().first());
  ASSERT_NE(documentRecent, nullptr);
  ASSERT_EQ(documentRecent->actions().size(), 2);
  EXPECT_EQ(documentRecent->actions().at(0)->text(), "&1 " + path("saved.qdl"));
  EXPECT_EQ(documentRecent->actions().at(1)->text(), "&2 " + path("field.sdr"));

  documentRecent->actions().at(1)->trigger();
  ASSERT_EQ(frame_->documents().size(), 2);
  EXPECT_EQ(frame_->documents().last()->windowTitle(), "Новый2");
  EXPECT_EQ(frame_->documents().last()->recordModel().rowCount(), 7);
  documentRecent->actions().at(0)->trigger();  // open already: its window comes forward
  EXPECT_EQ(frame_->documents().size(), 2);
  EXPECT_EQ(frame_->activeDocument(), document);
}

TEST_F(OpenPathsTest, filesDroppedOnTheFrame_openInTheOrderDragged) {
  writeFile("a.sdr", sdrText(sampleFieldBook()));
  writeFile("b.qdl", recordFileBytes(sampleFieldBook()));
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(path("a.sdr")), QUrl(QStringLiteral("https://example.org/c.sdr")),
                QUrl::fromLocalFile(path("b.qdl"))});
  frame_->show();
  frame_->New();
  const QPoint centre = frame_->rect().center();
  // The toolkit hands a drop to the innermost widget under it that takes drops:
  // over a document window's list, that is the frame.
  QWidget* target = frame_->childAt(centre);
  ASSERT_NE(target, nullptr);
  while (target != nullptr && !target->acceptDrops()) target = target->parentWidget();
  EXPECT_EQ(target, frame_.get());

  QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(frame_.get(), &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(frame_.get(), &drop);
  QCoreApplication::processEvents();

  QStringList captions;
  for (const TChildForm* document : frame_->documents()) captions << document->windowTitle();
  EXPECT_EQ(captions, QStringList({"Новый1", "Новый2", path("b.qdl")}));
}

// However it is named again, one file is read into one window only: the
// second attempt brings that window forward instead.
TEST_F(OpenPathsTest, aFileOpenAlready_activatesItsWindow_byEveryWayOfOpening) {
  keepRecentFiles();
  frame_->show();
  writeFile("book.qdl", recordFileBytes(sampleFieldBook()));
  ASSERT_TRUE(QFile::link(path("book.qdl"), path("alias.qdl")));
  ASSERT_TRUE(QFile(path("book.qdl")).copy(path("copy.qdl")));
  TChildForm* book = frame_->OpenPath(path("book.qdl"));
  const int rows = book->recordModel().rowCount();
  const struct {
    const char* way;
    std::function<void()> open;
  } ways[] = {
      {"Открыть, the same path",
       [&] {
         seam_.openNames << path("book.qdl");
         frame_->Open();
       }},
      {"Открыть, through a link",
       [&] {
         seam_.openNames << path("alias.qdl");
         frame_->Open();
       }},
      {"the command line, relative to the current folder", [&] { frame_->OpenPaths({"./book.qdl"}); }},
      {"the recent files",
       [&] {
         QMenu* recent = recentMenuIn(*frame_->activeDocument()->menus().first());
         ASSERT_NE(recent, nullptr);
         recent->actions().at(0)->trigger();
       }},
      {"a drop",
       [&] {
         QMimeData data;
         data.setUrls({QUrl::fromLocalFile(path("alias.qdl"))});
         const QPoint centre = frame_->rect().center();
         QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
         QCoreApplication::sendEvent(frame_.get(), &enter);
         QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
         QCoreApplication::sendEvent(frame_.get(), &drop);
         QCoreApplication::processEvents();
       }},
  };
  for (const auto& [way, open] : ways) {
    SCOPED_TRACE(way);
    TChildForm* other = frame_->New();
    ASSERT_EQ(frame_->activeDocument(), other);
    open();
    deleteClosedWindows();
    EXPECT_EQ(frame_->activeDocument(), book);
    EXPECT_EQ(frame_->documents(), QList<TChildForm*>({book, other}));
    EXPECT_EQ(book->recordModel().rowCount(), rows) << "read again";
    closeDocument(*other);
  }
  // A copy is another file.
  TChildForm* copy = frame_->OpenPath(path("copy.qdl"));
  EXPECT_NE(copy, book);
  EXPECT_EQ(frame_->documents().size(), 2);
  EXPECT_TRUE(seam_.errors.isEmpty());
}

// Two windows writing one file overwrite each other's book: "Сохранить
// как" into a file another window holds asks for another name.
TEST_F(OpenPathsTest, saveAsIntoAFileAnotherWindowHolds_asksForAnotherName) {
  writeFile("book.qdl", recordFileBytes(sampleFieldBook()));
  const QByteArray before = readFile("book.qdl");
  frame_->OpenPath(path("book.qdl"));
  TChildForm* other = frame_->New();
  seam_.answerSave(path("./book.qdl"));
  seam_.answerSave(path("other.qdl"));
  other->SaveAsClick();
  ASSERT_EQ(seam_.messages.size(), 1);
  EXPECT_TRUE(seam_.messages.first().contains(QStringLiteral("открыт в другом окне")))
      << seam_.messages.first().toStdString();
  EXPECT_EQ(readFile("book.qdl"), before);
  EXPECT_TRUE(QFile::exists(path("other.qdl")));
  EXPECT_TRUE(seam_.allAnswersUsed());
  // Its own file is no other window's.
  seam_.answerSave(path("other.qdl"));
  other->SaveAsClick();
  EXPECT_EQ(seam_.messages.size(), 1);
}

}  // namespace
}  // namespace quillmar::test
