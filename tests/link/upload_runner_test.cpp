// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/widgets/upload_runner.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTimer>

#include <poll.h>
#include <unistd.h>

#include <thread>

#include "dialogs_support.h"
#include "link/upload_text.h"
#include "link/widgets/comm_set_dialog.h"
#include "pty_support.h"
#include "tools/instrument/instrument.h"

namespace quillmar {
namespace {

using namespace std::chrono_literals;

RecordList listOf(std::initializer_list<std::string_view> lines) {
  RecordList list;
  for (std::string_view line : lines) list.append("caption", SurveyRecord::fromLine(line, kVersionSdr3));
  return list;
}

class Upload : public ::testing::Test {
 protected:
  Upload() : commSet_(nullptr, dir_.filePath(QStringLiteral("CommSet.ini")), seam_) {
    commSet_.ComboBox1->setEditText(QString::fromStdString(pty_.portPath()));
    seam_.errors.clear();
  }

  // "Выгрузить" with the settings dialog closed by `close`; returns what
  // reached the instrument.
  std::string upload(const RecordList& list, void (TCommSet::*close)() = &TCommSet::CancelClick) {
    QTimer::singleShot(0, &commSet_, [this, close] {
      settingsShown_ = commSet_.isVisible();
      (commSet_.*close)();
    });
    std::string received;
    std::thread instrument([&] { received = instrument::readUntilQuiet(pty_.instrumentFd(), 800ms); });
    uploadRecords(nullptr, commSet_, list, seam_);
    instrument.join();
    return received;
  }

  test::PtyPair pty_;
  QTemporaryDir dir_;
  test::ScriptedSeam seam_;
  TCommSet commSet_;
  bool settingsShown_ = false;
};

// Which records get which framing is the upload text's business; here the
// framed text must reach the instrument whichever way the settings close.
TEST_F(Upload, sendsTheFramedRecordsAfterTheSettingsDialog) {
  for (void (TCommSet::*close)() : {&TCommSet::CancelClick, &TCommSet::OkClick}) {
    settingsShown_ = false;
    EXPECT_EQ(upload(listOf({"00NMSDR33\r\n", "02TP0001\r\n"}), close), "\x02\r\n00NMSDR33\r\n02TP0001\r\n\x03\r\n");
    EXPECT_TRUE(settingsShown_);
    EXPECT_TRUE(seam_.messages.isEmpty());
  }
}

// A book received from the instrument keeps its STX and ETX records; sent
// again, it carries one frame only, and the end message counts what was left out.
TEST_F(Upload, receivedBookSentAgain_hasOneStxAndOneEtx) {
  commSet_.ComboBox4->setEditText(QStringLiteral("TWOSTOPBIT"));
  commSet_.ComboBox5->setEditText(QStringLiteral("EVENPARITY"));
  commSet_.ComboBox6->setCurrentIndex(static_cast<int>(FlowChoice::XonXoff));
  commSet_.SpinBox1->setValue(20);
  const RecordList list = listOf({"\x02\r\n", "00NMSDR33\r\n", "02TP0001\r\n", "\x03\r\n"});
  QTimer::singleShot(0, &commSet_, &TCommSet::CancelClick);
  std::string sent;
  termios whileOpen{};
  std::thread instrument([&] {
    // The first line has arrived and the pause holds the port open.
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (sent.empty() && std::chrono::steady_clock::now() < deadline) {
      sent = instrument::readUntilQuiet(pty_.instrumentFd(), 10ms);
    }
    whileOpen = test::portSettings(pty_);
    sent += instrument::readUntilQuiet(pty_.instrumentFd(), 800ms);
  });
  uploadRecords(nullptr, commSet_, list, seam_);
  instrument.join();
  EXPECT_EQ(sent, "\x02\r\n00NMSDR33\r\n02TP0001\r\n\x03\r\n");
  EXPECT_EQ(whileOpen.c_cflag & CSTOPB, tcflag_t{CSTOPB});
  EXPECT_EQ(whileOpen.c_iflag & (IXON | IXOFF), tcflag_t{IXON | IXOFF});
  EXPECT_EQ(seam_.messages,
            QStringList{QStringLiteral(
                "Выгрузка завершена. Пропущено записей с метками начала и конца передачи (STX, ETX): 2.")});
  EXPECT_EQ(list.size(), 4u);
}

TEST_F(Upload, portThatCannotBeOpened_isReportedWithItsName) {
  for (const QString& port : {QStringLiteral("/dev/quillmar-no-such-port"), QString()}) {
    commSet_.ComboBox1->setEditText(port);
    seam_.messages.clear();
    upload(listOf({"00NMSDR33\r\n"}));
    EXPECT_EQ(seam_.messages, QStringList{QStringLiteral("Невозможно открыть в запись ") + port});
  }
}

TEST_F(Upload, instrumentGoneMidUpload_isReportedNotSilent) {
  RecordList list;
  for (int i = 0; i < 3000; ++i)
    list.append("c", SurveyRecord::fromLine("09F1 observation line " + std::to_string(i) + "\r\n", kVersionSdr3));
  std::thread instrument([this] {
    char chunk[1024];
    for (std::size_t got = 0; got < 4096;) {
      const ssize_t n = ::read(pty_.instrumentFd(), chunk, sizeof chunk);
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    pty_.closeInstrumentSide();
  });
  QTimer::singleShot(0, &commSet_, &TCommSet::CancelClick);
  uploadRecords(nullptr, commSet_, list, seam_);
  instrument.join();
  ASSERT_EQ(seam_.messages.size(), 1);
  EXPECT_TRUE(seam_.messages[0].startsWith(QStringLiteral("Выгрузка не завершена"))) << seam_.messages[0].toStdString();
}

TEST_F(Upload, longUpload_keepsTheWindowThreadServing) {
  RecordList list;
  for (int i = 0; list.size() < 4000; ++i) {
    list.append("c", SurveyRecord::fromLine("09F1" + std::to_string(i) + " 0000.000 0000.000\r\n", kVersionSdr3));
  }
  const std::string expected = buildUploadText(list).bytes;
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
  ticker.start(5);
  std::string received;
  std::thread instrument([&] {
    // A slow instrument: the upload takes about a second.
    char chunk[4096];
    for (;;) {
      pollfd p{pty_.instrumentFd(), POLLIN, 0};
      if (::poll(&p, 1, 800) <= 0) break;
      const ssize_t n = ::read(pty_.instrumentFd(), chunk, 2048);
      if (n <= 0) break;
      received.append(chunk, static_cast<std::size_t>(n));
      std::this_thread::sleep_for(20ms);
    }
  });
  const UploadOutcome outcome =
      runUpload(nullptr, commSet_.currentSettings(), commSet_.currentPacing(), commSet_.currentPortText(), expected);
  instrument.join();
  EXPECT_EQ(outcome.kind, UploadOutcome::Kind::Done);
  EXPECT_EQ(outcome.transmitted, expected.size());
  EXPECT_EQ(received, expected);
  EXPECT_GT(ticks, 10);
}

// An instrument that takes nothing keeps the upload running until "Отмена".
TEST_F(Upload, cancelStopsARunningUploadAndSaysSo) {
  RecordList list;
  for (int i = 0; i < 20000; ++i)
    list.append("c", SurveyRecord::fromLine("09F1 observation line " + std::to_string(i) + "\r\n", kVersionSdr3));
  QTimer canceller;
  QObject::connect(&canceller, &QTimer::timeout, [] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* progress = qobject_cast<QProgressDialog*>(widget);
      if (progress != nullptr) progress->findChild<QPushButton*>()->click();
    }
  });
  canceller.start(300);
  // Should the cancel go unheard, the instrument goes away rather than the test hanging.
  QTimer::singleShot(5000, &commSet_, [this] { pty_.closeInstrumentSide(); });
  QTimer::singleShot(0, &commSet_, &TCommSet::CancelClick);
  uploadRecords(nullptr, commSet_, list, seam_);
  ASSERT_EQ(seam_.messages.size(), 1);
  EXPECT_TRUE(seam_.messages[0].startsWith(QStringLiteral("Выгрузка отменена. Передано ")))
      << seam_.messages[0].toStdString();
  EXPECT_FALSE(seam_.messages[0].contains(QString::number(buildUploadText(list).bytes.size()) + QStringLiteral(" из")));
}

// An instrument that stops reading holds the upload: the progress window
// says so, with how much is sent, until "Отмена".
TEST_F(Upload, heldUpload_isShownInTheProgressWindow) {
  RecordList list;
  for (int i = 0; i < 20000; ++i)
    list.append("c", SurveyRecord::fromLine("09F1 observation line " + std::to_string(i) + "\r\n", kVersionSdr3));
  const QString total = QString::number(buildUploadText(list).bytes.size());
  QString shown;
  QTimer watcher;
  QObject::connect(&watcher, &QTimer::timeout, [&shown] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* progress = qobject_cast<QProgressDialog*>(widget);
      if (progress == nullptr || !progress->labelText().startsWith(QStringLiteral("Прибор задерживает"))) continue;
      shown = progress->labelText();
      progress->findChild<QPushButton*>()->click();
    }
  });
  watcher.start(100);
  QTimer::singleShot(8000, &commSet_, [this] { pty_.closeInstrumentSide(); });
  QTimer::singleShot(0, &commSet_, &TCommSet::CancelClick);
  uploadRecords(nullptr, commSet_, list, seam_);
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^Прибор задерживает передачу: передано [0-9]+ из ") + total +
                                 QStringLiteral(" байт$"))
                  .match(shown)
                  .hasMatch())
      << shown.toStdString();
}

TEST(UploadOutcomeMessage, everyFailureSaysWhatHappened) {
  const QString port = QStringLiteral("COM2");
  EXPECT_TRUE(uploadOutcomeMessage({UploadOutcome::Kind::Done, 10, 10, {}}, port).isEmpty());
  EXPECT_EQ(uploadOutcomeMessage({UploadOutcome::Kind::NotOpened, 0, 10, "busy"}, port),
            QStringLiteral("Невозможно открыть в запись COM2"));
  EXPECT_EQ(uploadOutcomeMessage({UploadOutcome::Kind::Failed, 4, 10, "Input/output error"}, port),
            QStringLiteral("Выгрузка не завершена: ошибка порта COM2 (Input/output error). Передано 4 из 10 байт."));
  EXPECT_EQ(uploadOutcomeMessage({UploadOutcome::Kind::Cancelled, 4, 10, {}}, port),
            QStringLiteral("Выгрузка отменена. Передано 4 из 10 байт."));
  EXPECT_EQ(uploadOutcomeMessage({UploadOutcome::Kind::Cancelled, 4, 10, {}, 1}, port),
            QStringLiteral("Выгрузка отменена. Передано 4 из 10 байт. "
                           "Пропущено записей с метками начала и конца передачи (STX, ETX): 1."));
  EXPECT_EQ(uploadOutcomeMessage({UploadOutcome::Kind::NotOpened, 0, 10, "busy", 2}, port),
            QStringLiteral("Невозможно открыть в запись COM2"));
}

}  // namespace
}  // namespace quillmar
