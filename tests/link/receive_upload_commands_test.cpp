// SPDX-License-Identifier: GPL-3.0-or-later
// "Загрузить" and "Выгрузить" of a document window, with the program's
// long-lived windows created as at start-up.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QTimer>

#include <thread>

#include "app/main_form.h"
#include "app/startup.h"
#include "dialogs_support.h"
#include "document/child_form.h"
#include "document/program_state.h"
#include "document/shared_windows.h"
#include "link/widgets/comm_set_dialog.h"
#include "link/widgets/read_thread.h"
#include "link/widgets/zagruz_form.h"
#include "pty_support.h"
#include "tools/instrument/instrument.h"

namespace quillmar {
namespace {

using namespace std::chrono_literals;

class LinkCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    previousDir_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir_.path()));
  }
  void TearDown() override {
    if (frame_) {
      for (TChildForm* document : frame_->documents()) document->closeWithoutQuery();
    }
    frame_.reset();
    QDir::setCurrent(previousDir_);
  }

  void startProgram() {
    frame_ = createLongLivedWindows(program_, shared_, seam_);
    shared_.commSet->ComboBox1->setEditText(QString::fromStdString(pty_.portPath()));
  }

  // Runs "Загрузить" while the user presses "Прием", the instrument sends
  // `bytes`, and the user closes the dialog with "ОК" (or its close box).
  void receive(TChildForm& document, const std::string& bytes, bool pressOk = true) {
    TZagruzForm& form = *shared_.zagruzForm;
    QTimer::singleShot(0, &form, [&, pressOk] {
      test::markUnopened(pty_);
      form.Button2Click();
      ASSERT_TRUE(test::waitUntilConfigured(pty_));
      test::sendFromInstrument(pty_, bytes);
      ASSERT_TRUE(test::waitFor([&] { return form.statusText() == QStringLiteral("Прием завершен"); }));
      ASSERT_TRUE(test::waitFor([&] { return form.Memo1->toPlainText().endsWith(QChar(0x2403)); }));
      if (pressOk)
        form.Button3Click();
      else
        form.reject();
    });
    document.N11Click();
  }

  QTemporaryDir dir_;
  QString previousDir_;
  test::PtyPair pty_;
  ProgramState program_;
  SharedWindows shared_;
  test::ScriptedSeam seam_;
  std::unique_ptr<TMainForm> frame_;
};

const std::string kTransmission = "\x02\r\n00NMSDR33 V04-04.02\r\n02TP0001\r\n\x03\r\n";

TEST_F(LinkCommands, startUpWithoutCommSetIni_reportsIt) {
  startProgram();
  EXPECT_EQ(seam_.errors, QStringList{"I/O error 103"});
  ASSERT_NE(shared_.commSet, nullptr);
  ASSERT_NE(shared_.zagruzForm, nullptr);
}

TEST_F(LinkCommands, startUpWithCommSetIni_takesItsTexts) {
  storeCommSettings("CommSet.ini", {"COM3", "9600", "7", "TWOSTOPBIT", "NOPARITY"});
  frame_ = createLongLivedWindows(program_, shared_, seam_);
  EXPECT_TRUE(seam_.errors.isEmpty());
  EXPECT_EQ(shared_.commSet->currentSettings(), (CommSettings{"COM3", "9600", "7", "TWOSTOPBIT", "NOPARITY"}));
}

TEST_F(LinkCommands, receive_appendsOneRecordPerLineAndMarksTheDocumentModified) {
  startProgram();
  TChildForm* document = frame_->New();
  receive(*document, kTransmission);
  const RecordList& list = document->recordModel().list();
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list.record(0).body.view(), "\x02\r\n");
  EXPECT_EQ(list.record(1).body.view(), "00NMSDR33 V04-04.02\r\n");
  EXPECT_EQ(list.record(3).body.view(), "\x03\r\n");
  for (std::size_t i = 0; i < list.size(); ++i) EXPECT_EQ(list.record(i).version, kVersionSdr3);
  EXPECT_EQ(document->recordModel().rowCount(), 4);
  EXPECT_TRUE(document->documentState().docModified);
  EXPECT_FALSE(program_.receptionDone);
}

TEST_F(LinkCommands, receiveClosedWithoutOk_addsNothingButMarksModified) {
  startProgram();
  TChildForm* document = frame_->New();
  receive(*document, kTransmission, false);
  EXPECT_EQ(document->recordModel().list().size(), 0u);
  EXPECT_TRUE(document->documentState().docModified);
}

TEST_F(LinkCommands, uploadOfAReceivedDocument_sendsItWithItsOwnFrameOnly) {
  startProgram();
  TChildForm* document = frame_->New();
  receive(*document, kTransmission);
  QTimer::singleShot(0, shared_.commSet, &TCommSet::CancelClick);
  std::string sent;
  std::thread instrument([&] { sent = instrument::readUntilQuiet(pty_.instrumentFd(), 800ms); });
  document->N12Click();
  instrument.join();
  EXPECT_EQ(sent, kTransmission);
  EXPECT_EQ(seam_.messages,
            QStringList{QStringLiteral(
                "Выгрузка завершена. Пропущено записей с метками начала и конца передачи (STX, ETX): 2.")});
  EXPECT_EQ(document->recordModel().list().size(), 4u);
}

TEST_F(LinkCommands, uploadInADocumentNeverStarted_doesNothing) {
  startProgram();
  seam_.openNames << QString();  // the open dialog is cancelled
  TChildForm* document = frame_->Open();
  bool settingsShown = false;
  QTimer::singleShot(0, shared_.commSet, [&] {
    settingsShown = shared_.commSet->isVisible();
    shared_.commSet->CancelClick();
  });
  document->N12Click();
  QCoreApplication::processEvents();
  EXPECT_FALSE(settingsShown);
  EXPECT_EQ(test::unreadPortBytes(pty_), "");
}

}  // namespace
}  // namespace quillmar
