// SPDX-License-Identifier: GPL-3.0-or-later
// Open, Save, Save as, Import and Export of a document window, with their
// dialogs answered by script, and their failures.

#include <QAction>
#include <QFile>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "document/background_load.h"
#include "document/child_form.h"
#include "document/record_list_model.h"
#include "gui_fixture.h"
#include "records/record_file.h"
#include "tests/support/string_sink.h"

namespace quillmar::test {
namespace {

class DocumentFilesTest : public GuiTest {
 protected:
  // A record file as the program writes it.
  QByteArray recordFileOf(const std::vector<std::string>& lines) { return recordFileBytes(lines); }
  TChildForm* openFile(const QString& name) {
    seam_.openNames << path(name);
    return frame_->Open();
  }
};

TEST_F(DocumentFilesTest, openThenSave_writesTheSameFile) {
  const QByteArray original = recordFileOf(sampleFieldBook());
  writeFile("book.qdl", original);

  TChildForm* document = openFile("book.qdl");
  ASSERT_EQ(document->recordModel().rowCount(), 7);
  EXPECT_EQ(document->windowTitle(), path("book.qdl"));
  EXPECT_FALSE(document->documentState().docModified);
  EXPECT_FALSE(document->documentState().docUntitled);

  EXPECT_EQ(document->Save(), SaveResult::Written);
  EXPECT_TRUE(seam_.saveRequests.isEmpty());
  EXPECT_EQ(readFile("book.qdl"), original);
}

TEST_F(DocumentFilesTest, openAndImport_appendRowsWithCaptions) {
  writeFile("book.qdl", recordFileOf({"09F1  ST1", "13NMnote"}));
  TChildForm* document = openFile("book.qdl");
  importLines(*document, {"00NMSDR33 V04-04.02", "08KI  P1"});

  const RecordList& list = document->recordModel().list();
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list.record(0).typeCode.view(), "09");
  EXPECT_EQ(list.record(3).typeCode.view(), "08");
  EXPECT_EQ(list.record(3).version, kVersionSdr3);
  EXPECT_EQ(document->recordModel().rowCount(), 4);
  EXPECT_TRUE(document->documentState().docModified);
  ASSERT_FALSE(seam_.openFilters.isEmpty());
  EXPECT_EQ(seam_.openFilters.last(), "Sokkia SDR files (*.sdr)|*.sdr");
}

// A record keeps 170 characters of a line: the import says how many lines lost more.
TEST_F(DocumentFilesTest, importOfLinesTooLongForARecord_saysHowManyAreCut) {
  TChildForm* document = frame_->New();
  importLines(*document, {"00NMSDR33 V04-04.02", std::string(168, 'a'), std::string(169, 'b'), std::string(300, 'c')});
  EXPECT_EQ(document->recordModel().rowCount(), 4);
  ASSERT_EQ(seam_.messages.size(), 1);
  EXPECT_TRUE(seam_.messages[0].startsWith(QStringLiteral("Строк длиннее 168 символов: 2.")))
      << seam_.messages[0].toStdString();
}

TEST_F(DocumentFilesTest, twoDocuments_saveToTheirOwnFiles) {
  TChildForm* first = newDocumentWith({"00NMSDR33 V04-04.02", "08KI  P1", "08KI  P2"});
  TChildForm* second = newDocumentWith({"00NMSDR33 V04-04.02", "09F1  ST1"});
  seam_.answerSave(path("first.qdl"));
  first->Save();
  seam_.answerSave(path("second.qdl"));
  second->Save();
  const QByteArray secondBytes = readFile("second.qdl");

  importLines(*first, {"13NMlater"});
  EXPECT_EQ(first->Save(), SaveResult::Written);

  EXPECT_EQ(readFile("first.qdl").size(), 178 * 4);
  EXPECT_EQ(readFile("second.qdl"), secondBytes);
  EXPECT_EQ(secondBytes.size(), 178 * 2);
  EXPECT_EQ(first->windowTitle(), path("first.qdl"));
  EXPECT_EQ(second->windowTitle(), path("second.qdl"));
}

TEST_F(DocumentFilesTest, saveWithItsDialogCancelled_writesUnderTheDocumentsName) {
  TChildForm* document = newDocumentWith(sampleFieldBook());
  seam_.cancelSave();

  EXPECT_EQ(document->Save(), SaveResult::Written);

  EXPECT_EQ(readFile("Новый1").size(), 178 * 7);
  ASSERT_EQ(seam_.saveRequests.size(), 1);
  EXPECT_EQ(seam_.saveRequests.last().filter, "Файлы *.qdl |*.qdl");
  EXPECT_EQ(seam_.saveRequests.last().defaultSuffix, "qdl");
  EXPECT_TRUE(document->documentState().docUntitled);
  EXPECT_EQ(document->windowTitle(), "Новый1");
}

TEST_F(DocumentFilesTest, saveThroughTheDialog_namesTheDocumentAndKeepsItModified) {
  TChildForm* document = newDocumentWith(sampleFieldBook());
  seam_.answerSave(path("book.qdl"));

  document->Save();
  EXPECT_EQ(document->Save(), SaveResult::Written);  // no second dialog

  EXPECT_EQ(document->documentState().docName, path("book.qdl"));
  EXPECT_FALSE(document->documentState().docUntitled);
  EXPECT_TRUE(document->documentState().docModified);
  EXPECT_EQ(seam_.saveRequests.size(), 1);
}

TEST_F(DocumentFilesTest, saveAsOnAnOpenedDocument_cancelled_writesBackToItsFile) {
  writeFile("book.qdl", recordFileOf({"09F1  ST1"}));
  TChildForm* document = openFile("book.qdl");
  importLines(*document, {"13NMadded"});
  seam_.cancelSave();

  document->SaveAsClick();

  EXPECT_EQ(readFile("book.qdl").size(), 178 * 2);
  EXPECT_TRUE(document->documentState().docUntitled);
}

TEST_F(DocumentFilesTest, windowWithoutAFile_doesNotSaveOrExport) {
  seam_.openNames << QString();
  TChildForm* document = frame_->Open();
  importLines(*document, sampleFieldBook());

  EXPECT_EQ(document->Save(), SaveResult::Skipped);
  document->SaveAsClick();
  document->N13Click();

  EXPECT_TRUE(seam_.saveRequests.isEmpty());
  EXPECT_EQ(document->windowTitle(), "ChildForm");
  EXPECT_EQ(document->recordModel().rowCount(), 7);
}

TEST_F(DocumentFilesTest, importCancelled_addsNothingButMarksModified) {
  TChildForm* document = frame_->New();
  seam_.openNames << QString();
  document->ImportClick();
  EXPECT_EQ(document->recordModel().rowCount(), 0);
  EXPECT_TRUE(document->documentState().docModified);
}

struct ExportCase {
  int filterIndex;
  const char* chosen;
  const char* written;
};

void PrintTo(const ExportCase& c, std::ostream* out) { *out << c.filterIndex << ' ' << c.chosen; }

class ExportNameTest : public DocumentFilesTest, public testing::WithParamInterface<ExportCase> {};

TEST_P(ExportNameTest, completesTheNameAndProposesItNextTime) {
  const ExportCase& c = GetParam();
  TChildForm* document = newDocumentWith(sampleFieldBook());
  seam_.answerSave(path(c.chosen), c.filterIndex);
  seam_.cancelSave();

  document->N13Click();
  document->N13Click();

  EXPECT_TRUE(fileExists(c.written));
  if (QString(c.chosen) != c.written) {
    EXPECT_FALSE(fileExists(c.chosen));
  }
  ASSERT_EQ(seam_.saveRequests.size(), 2);
  const SaveRequest& first = seam_.saveRequests[0];
  EXPECT_EQ(first.title, "Экспорт");
  EXPECT_TRUE(
      first.filter.startsWith("Текстовый файл|*.txt|OBS в текстовый файл|*.txt|POS в текстовый файл|*.txt|"
                              "В SDR файл|*.sdr"));
  EXPECT_FALSE(first.confirmOverwrite);
  EXPECT_TRUE(first.defaultSuffix.isEmpty());
  EXPECT_EQ(seam_.saveRequests[1].fileName, path(c.written));
  EXPECT_EQ(seam_.saveRequests[1].filterIndex, c.filterIndex);
}

INSTANTIATE_TEST_SUITE_P(Names, ExportNameTest,
                         testing::Values(ExportCase{1, "result", "result.txt"},
                                         ExportCase{1, "result.txt", "result.txt"},
                                         ExportCase{1, "result.TXT", "result.TXT.txt"}, ExportCase{1, "mytxt", "mytxt"},
                                         ExportCase{2, "obs", "obs.txt"}, ExportCase{3, "pos.sdr", "pos.sdr.txt"},
                                         ExportCase{4, "book.sdr", "book.sdr"},
                                         ExportCase{4, "book.txt", "book.txt.sdr"}));

TEST_F(DocumentFilesTest, exportAsSdr_writesTheLinesOfTheRows) {
  const std::vector<std::string> lines = sampleFieldBook();
  TChildForm* document = newDocumentWith(lines);
  seam_.answerSave(path("copy.sdr"), 4);
  document->N13Click();
  EXPECT_EQ(readFile("copy.sdr"), sdrText(lines));
}

TEST_F(DocumentFilesTest, exportOverAnExistingFile_replacesIt) {
  writeFile("out.txt", QByteArray(5000, 'x'));
  TChildForm* document = newDocumentWith({"00NMSDR33 V04-04.02", "08KI  P1"});
  seam_.answerSave(path("out.txt"), 3);
  document->N13Click();
  // The coordinate table's header, in Windows-1251.
  EXPECT_TRUE(readFile("out.txt").startsWith("\xD2\xEE\xF7\xEA\xE0;N;E;Elev;"));
  EXPECT_LT(readFile("out.txt").size(), 5000);
}

QString statusLineOf(TChildForm& document) { return document.findChild<QStatusBar*>()->currentMessage(); }

// Read as records, as the format says, and told once in the status line.
TEST_F(DocumentFilesTest, openOfARecordFileWithAPartialRecordAndAnOversizedLength_readsItAndSaysSo) {
  QByteArray bytes = recordFileOf(sampleFieldBook());
  bytes[178 * 2 + 7] = static_cast<char>(200);  // the third body claims 200 characters
  writeFile("book.qdl", bytes + QByteArray(100, 'x'));
  TChildForm* document = openFile("book.qdl");
  EXPECT_TRUE(seam_.questions.isEmpty());
  EXPECT_EQ(document->recordModel().rowCount(), 7);
  EXPECT_EQ(document->recordModel().list().record(2).body.view().size(), 170u);
  EXPECT_EQ(statusLineOf(*document), QStringLiteral("Файл %1: в конце файла 100 байт, не составляющих записи; "
                                                    "в записи 3 длина поля больше допустимой; прочитано столько "
                                                    "знаков, сколько поле вмещает.")
                                         .arg(path("book.qdl")));
}

TEST_F(DocumentFilesTest, importOfAFileWithoutOneSdrRecord_importsItAndSaysSo) {
  TChildForm* document = newDocumentWith({"Pt,N,E,Z", "1,100.0,200.0,10.0"});
  EXPECT_EQ(document->recordModel().rowCount(), 2);
  EXPECT_TRUE(statusLineOf(*document).contains(QStringLiteral("ни одна его строка не является записью SDR")));
  importLines(*document, sampleFieldBook());
  EXPECT_TRUE(statusLineOf(*document).isEmpty());
}

// The field book imported and the record file opened are never written over,
// whatever name the export is given for them.
TEST_F(DocumentFilesTest, exportOverTheFileTheDocumentWasReadFrom_isRefused) {
  writeFile("book.qdl", recordFileOf({"09F1  ST1"}));
  TChildForm* document = openFile("book.qdl");
  importLines(*document, {"00NMSDR33 V04-04.02", "08KI  P1"});
  ASSERT_TRUE(QFile::link(path("import1.sdr"), path("link.sdr")));
  ASSERT_TRUE(QFile::link(path("book.qdl"), path("records.txt")));
  const QByteArray book = readFile("book.qdl");
  const QByteArray imported = readFile("import1.sdr");
  for (const auto& [name, filter] : {std::pair{"import1.sdr", 4}, {"link.sdr", 4}, {"records.txt", 3}}) {
    seam_.answerSave(path(name), filter);
    document->N13Click();
    ASSERT_EQ(seam_.errors.size(), 1) << name;
    EXPECT_TRUE(seam_.errors.takeFirst().contains(QStringLiteral("записал бы поверх"))) << name;
  }
  EXPECT_EQ(readFile("book.qdl"), book);
  EXPECT_EQ(readFile("import1.sdr"), imported);
}

struct FailureCase {
  const char* name;
  const char* file;  // what the dialog answers
  const char* error;
};

void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

class FileFailureTest : public DocumentFilesTest, public testing::WithParamInterface<FailureCase> {
 protected:
  void SetUp() override {
    DocumentFilesTest::SetUp();
    ASSERT_TRUE(QDir(dir_.path()).mkdir("a-folder"));
    ASSERT_TRUE(QDir(dir_.path()).mkdir("a-folder.txt"));
  }
};

TEST_P(FileFailureTest, openOfAMissingOrBadFile_reportsAndKeepsTheWindowUnnamed) {
  const FailureCase& c = GetParam();
  TChildForm* document = openFile(c.file);

  EXPECT_EQ(seam_.errors, QStringList({c.error}));
  EXPECT_EQ(document->windowTitle(), "ChildForm");
  EXPECT_EQ(document->documentState().docName, path(c.file));
  EXPECT_TRUE(document->documentState().docStarted);
  EXPECT_FALSE(document->documentState().docModified);
}

TEST_P(FileFailureTest, importOfAMissingOrBadFile_reportsAndLeavesTheDocumentUnmodified) {
  const FailureCase& c = GetParam();
  TChildForm* document = frame_->New();
  seam_.openNames << path(c.file);
  document->ImportClick();

  EXPECT_EQ(seam_.errors, QStringList({c.error}));
  EXPECT_EQ(document->recordModel().rowCount(), 0);
  EXPECT_FALSE(document->documentState().docModified);
}

TEST_P(FileFailureTest, saveToABadPlace_reportsAndAsksForANameAgainNextTime) {
  const FailureCase& c = GetParam();
  TChildForm* document = newDocumentWith(sampleFieldBook());
  seam_.answerSave(path(c.file));

  EXPECT_EQ(document->Save(), SaveResult::Failed);

  EXPECT_EQ(seam_.errors, QStringList({c.error}));
  EXPECT_EQ(document->documentState().docName, path(c.file));
  EXPECT_TRUE(document->documentState().docUntitled);
  EXPECT_EQ(document->windowTitle(), "Новый1");
  seam_.answerSave(path("good.qdl"));
  EXPECT_EQ(document->Save(), SaveResult::Written);
}

TEST_P(FileFailureTest, exportToABadPlace_reportsAndLeavesTheListAlone) {
  const FailureCase& c = GetParam();
  TChildForm* document = newDocumentWith(sampleFieldBook());
  seam_.answerSave(path(QString(c.file) + ".txt"), 1);
  document->N13Click();
  EXPECT_EQ(seam_.errors, QStringList({c.error}));
  EXPECT_EQ(document->recordModel().rowCount(), 7);
}

// A failure of the worker comes back to the window thread: a file's as a
// result, any other thrown again.
TEST(BackgroundLoad, failuresOfTheWorkerComeBack) {
  const LoadResult failed =
      loadInBackground(nullptr, "reading", 100, [](const LoadProgress&) { throw IoError(io_code::kDiskFull); });
  ASSERT_TRUE(failed.error);
  EXPECT_EQ(failed.error->code(), io_code::kDiskFull);
  EXPECT_FALSE(failed.cancelled);
  EXPECT_THROW(loadInBackground(nullptr, "reading", 100, [](const LoadProgress&) { throw std::bad_alloc(); }),
               std::bad_alloc);
}

INSTANTIATE_TEST_SUITE_P(Places, FileFailureTest,
                         testing::Values(FailureCase{"MissingFolder", "no-folder/book", "File not found"},
                                         FailureCase{"Folder", "a-folder", "File access denied"}),
                         [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST_F(DocumentFilesTest, importOfAnEndlessInput_isCancelledFromItsProgressWindow) {
  TChildForm* document = newDocumentWith({"08KI  P1"});
  QTimer canceller;
  QObject::connect(&canceller, &QTimer::timeout, [document] {
    for (auto* progress : document->findChildren<QProgressDialog*>()) {
      if (progress->isVisible()) progress->cancel();
    }
  });
  canceller.start(50);
  seam_.openNames << QStringLiteral("/dev/zero");
  document->ImportClick();
  EXPECT_EQ(document->recordModel().rowCount(), 1);
  EXPECT_EQ(program_.lineCount, 0u);
  EXPECT_TRUE(seam_.errors.isEmpty());
}

TEST_F(DocumentFilesTest, openCancelledFromItsProgressWindow_leavesTheWindowEmpty) {
  const QString fifo = path("endless.qdl");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const std::string batch(kRowsPerProgressStep * kRecordFileRecordSize, '\0');
  const sighandler_t oldHandler = ::signal(SIGPIPE, SIG_IGN);
  // Records keep coming until the reader goes away (or 20 batches, should it never).
  std::thread writer([&] {
    const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY);
    for (int i = 0; fd >= 0 && i < 20 && ::write(fd, batch.data(), batch.size()) > 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (fd >= 0) ::close(fd);
  });
  QTimer canceller;
  QObject::connect(&canceller, &QTimer::timeout, [this] {
    for (auto* progress : frame_->findChildren<QProgressDialog*>()) {
      if (progress->isVisible()) progress->cancel();
    }
  });
  canceller.start(50);
  TChildForm* document = openFile("endless.qdl");
  writer.join();
  ::signal(SIGPIPE, oldHandler);
  EXPECT_EQ(document->recordModel().rowCount(), 0);
  EXPECT_TRUE(document->recordModel().list().empty());
  EXPECT_FALSE(document->documentState().docStarted);
  EXPECT_EQ(document->windowTitle(), "ChildForm");
}

TEST_F(DocumentFilesTest, commandRunningOutOfMemory_isReportedAndOtherWindowsKeepTheirRows) {
  TChildForm* other = newDocumentWith({"08KI  P1", "08KI  P2"});
  TChildForm* document = newDocumentWith({"08KI  P3"});
  seam_.openRunsOutOfMemory = true;
  for (QAction* action : document->findChildren<QAction*>()) {
    if (action->text() == QStringLiteral("Импорт")) action->trigger();
  }
  EXPECT_EQ(seam_.errors, QStringList{QStringLiteral("Out of memory")});
  EXPECT_EQ(document->recordModel().rowCount(), 1);
  EXPECT_EQ(other->recordModel().rowCount(), 2);
}

}  // namespace
}  // namespace quillmar::test
