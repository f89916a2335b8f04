// SPDX-License-Identifier: GPL-3.0-or-later
// Faults while saving, exporting and importing: the program says what
// happened in its own words, the rows stay as they were and the previous
// files on disk are intact.

#include "document/child_form.h"
#include "document/record_list_model.h"
#include "gui_fixture.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/read_only_dir.h"

namespace quillmar::test {
namespace {

using FullDisk = testing::FileSizeLimit;

class FaultTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    seam_.errors.clear();  // start-up's report of a missing CommSet.ini is not ours
  }
  // A document of many rows, saved once to book.qdl.
  TChildForm* savedBook() {
    std::vector<std::string> lines = sampleFieldBook();
    for (int i = 0; i < 200; ++i) lines.push_back("13NMnote " + std::to_string(i));
    TChildForm* document = newDocumentWith(lines);
    seam_.answerSave(path("book.qdl"));
    document->SaveAsClick();
    EXPECT_TRUE(seam_.errors.isEmpty()) << seam_.errors.join(", ").toStdString();
    return document;
  }
  static std::vector<std::string> bodies(TChildForm& document) {
    std::vector<std::string> out;
    const RecordList& list = document.recordModel().list();
    for (std::size_t i = 0; i < list.size(); ++i) out.push_back(list.record(i).body.str());
    return out;
  }
};

TEST_F(FaultTest, saveOnAFullDisk_saysDiskFullAndKeepsTheFileAndRows) {
  TChildForm* document = savedBook();
  const QByteArray before = readFile("book.qdl");
  importLines(*document, {"13NMadded later"});
  const auto rows = bodies(*document);
  {
    FullDisk full(4096);
    document->Save();
  }
  ASSERT_EQ(seam_.errors.size(), 1);
  EXPECT_EQ(seam_.errors.last(), "Disk full");
  EXPECT_EQ(readFile("book.qdl"), before);
  EXPECT_EQ(bodies(*document), rows);
  EXPECT_TRUE(document->documentState().docModified);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).filter("book").size(), 1);
}

TEST_F(FaultTest, exportOnAFullDisk_saysDiskFullAndKeepsThePreviousExport) {
  TChildForm* document = savedBook();
  seam_.answerSave(path("book.txt"), 1);
  document->N13Click();
  const QByteArray before = readFile("book.txt");
  ASSERT_FALSE(before.isEmpty());
  importLines(*document, {"13NMadded later"});
  {
    FullDisk full(1024);
    seam_.answerSave(path("book.txt"), 1);
    document->N13Click();
  }
  ASSERT_EQ(seam_.errors.size(), 1);
  EXPECT_EQ(seam_.errors.last(), "Disk full");
  EXPECT_EQ(readFile("book.txt"), before);
}

TEST_F(FaultTest, saveIntoAReadOnlyFolder_saysAccessDeniedAndAsksAgainNextTime) {
  TChildForm* document = newDocumentWith(sampleFieldBook());
  QDir(dir_.path()).mkdir("locked");
  testing::ReadOnlyDir locked(path("locked").toStdString());
  if (!locked.effective()) GTEST_SKIP() << "this file system cannot stop root";
  const auto rows = bodies(*document);
  seam_.answerSave(path("locked/book.qdl"));
  document->SaveAsClick();
  ASSERT_EQ(seam_.errors.size(), 1);
  EXPECT_EQ(seam_.errors.last(), "File access denied");
  EXPECT_EQ(bodies(*document), rows);
  EXPECT_TRUE(document->documentState().docUntitled);
  EXPECT_FALSE(fileExists("locked/book.qdl"));
}

TEST_F(FaultTest, importOfAFileThatVanished_saysFileNotFoundAndAddsNothing) {
  TChildForm* document = newDocumentWith({"13NMfirst"});
  seam_.openNames << path("gone.sdr");
  document->ImportClick();
  ASSERT_EQ(seam_.errors.size(), 1);
  EXPECT_EQ(seam_.errors.last(), "File not found");
  EXPECT_EQ(document->recordModel().rowCount(), 1);
}

}  // namespace
}  // namespace quillmar::test
