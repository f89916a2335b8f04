// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/widgets/zagruz_form.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTimer>

#include "dialogs_support.h"
#include "link/serial/serial_link.h"
#include "link/widgets/comm_set_dialog.h"
#include "link/widgets/read_thread.h"
#include "link/widgets/upload_runner.h"
#include "pty_support.h"

namespace quillmar {
namespace {

using Lines = std::vector<std::string>;

class ReceptionDialog : public test::ReceptionWindowsTest {
 protected:
  ReceptionDialog() : statuses_(&form_, &TZagruzForm::statusShown) {
    commSet_.ComboBox1->setEditText(QString::fromStdString(pty_.portPath()));
    seam_.errors.clear();
  }

  // "Прием", and the worker has the port.
  void startReception() {
    test::markUnopened(pty_);
    form_.Button2Click();
    ASSERT_TRUE(test::waitUntilConfigured(pty_));
  }
  void send(std::string_view bytes) { test::sendFromInstrument(pty_, bytes); }
  int memoLineCount() const { return form_.Memo1->document()->isEmpty() ? 0 : form_.Memo1->blockCount(); }
  bool waitForMemoLines(int count) {
    return test::waitFor([&] { return memoLineCount() >= count; });
  }
  bool waitForMemoText(const QString& tail) {
    return test::waitFor([&] { return form_.Memo1->toPlainText().endsWith(tail); });
  }
  bool waitForStatus(const QString& text) {
    return test::waitFor([&] { return form_.statusText() == text; });
  }
  bool waitUntilWorkerEnds() {
    return test::waitFor(
        [&] { return form_.currentReadThread() == nullptr || form_.currentReadThread()->isFinished(); });
  }
  Lines memo() const { return form_.memoLines().value_or(Lines{"<unmapped>"}); }
  Lines buffer() const { return bufferLines(); }
  QStringList shownStatuses() const {
    QStringList list;
    for (const QList<QVariant>& call : statuses_) list << call.at(0).toString();
    return list;
  }
  bool portIsFree() {
    SerialLink probe;
    return probe.open(QString::fromStdString(pty_.portPath()), QIODevice::WriteOnly, {});
  }

  test::PtyPair pty_;
  QSignalSpy statuses_;
};

const QString kWaiting = QStringLiteral(" Режим ожидания передачи данных ");
const QString kFinished = QStringLiteral("Прием завершен");
const QString kStopped = QStringLiteral("Прием остановлен");

TEST_F(ReceptionDialog, controls_carryTheirTexts) {
  EXPECT_EQ(form_.windowTitle(), QStringLiteral("Загрузка данных"));
  EXPECT_EQ(form_.size(), QSize(699, 494));
  EXPECT_EQ(form_.StaticText1->text(), QStringLiteral("Статус:"));
  EXPECT_EQ(form_.statusText(),
            QStringLiteral("Для загрузки данных нажмите кнопку \"Прием\" затем запустите передачу данных с прибора"));
  EXPECT_EQ(form_.Button1->text(), QStringLiteral("Настройки порта"));
  EXPECT_EQ(form_.Button1->toolTip(), QStringLiteral("Настройка параметров параллельного порта"));
  EXPECT_EQ(form_.Button2->text(), QStringLiteral("Прием"));
  EXPECT_EQ(form_.Button2->toolTip(), QStringLiteral("Запуск процедуры приема данных"));
  EXPECT_EQ(form_.Button3->text(), QString::fromUtf16(u"\u041E\u041A"));  // Cyrillic О and К
  EXPECT_EQ(form_.Button3->toolTip(), QStringLiteral("Закрытие окна"));
}

TEST_F(ReceptionDialog, resize_laysTheControlsOut) {
  form_.show();
  for (const QSize size : {QSize(699, 494), QSize(900, 700)}) {
    form_.resize(size);
    const int memoWidth = size.width() - 45;
    const int memoHeight = size.height() - 140;
    EXPECT_EQ(form_.Memo1->geometry(), QRect(16, 16, memoWidth, memoHeight));
    const QRect status = form_.GroupBox1->geometry();
    EXPECT_EQ(status.top(), 16 + memoHeight + 10);
    EXPECT_EQ(status.width(), memoWidth);
    for (QPushButton* button : {form_.Button1, form_.Button2, form_.Button3}) {
      EXPECT_EQ(button->y(), status.bottom() + 1 + 10);
    }
    EXPECT_EQ(form_.Button1->x(), 16);
    EXPECT_EQ(form_.Button2->x(), memoWidth - 285);
    EXPECT_EQ(form_.Button3->x(), memoWidth - 130);
  }
}

TEST_F(ReceptionDialog, oneBurst_givesFourMemoLinesAndStatusesInOrder) {
  startReception();
  send("\x02\r\n00NMSDR33\r\n02TP0001\r\n\x03");
  ASSERT_TRUE(waitForStatus(kFinished));
  ASSERT_TRUE(waitForMemoLines(4));
  EXPECT_EQ(memo(), (Lines{"\x02", "00NMSDR33", "02TP0001", "\x03"}));
  EXPECT_EQ(shownStatuses(), (QStringList{kWaiting, "Прием данных", "Прием %", kFinished}));
  form_.Button3Click();
  EXPECT_TRUE(receptionDone_);
  EXPECT_EQ(lineCount_, 4u);
  EXPECT_EQ(buffer(), (Lines{"\x02\r\n", "00NMSDR33\r\n", "02TP0001\r\n", "\x03\r\n"}));
}

TEST_F(ReceptionDialog, lfOnlyFieldBook_keepsItsLinesAndCountsWhatArrived) {
  startReception();
  send("\x02\n00NMSDR33\n02TP0001\n\x03");
  ASSERT_TRUE(waitForStatus(kFinished));
  ASSERT_TRUE(waitForMemoLines(4));
  ASSERT_TRUE(test::waitFor([&] { return !form_.CountText->text().isEmpty(); }));
  EXPECT_EQ(form_.CountText->text(), "Принято байт: 22, строк: 3");
  form_.Button3Click();
  EXPECT_EQ(buffer(), (Lines{"\x02\r\n", "00NMSDR33\r\n", "02TP0001\r\n", "\x03\r\n"}));
}

// The dialog's choices reach the port that "Прием" opens (what a
// pseudo-terminal keeps of them: see the serial link's tests).
TEST_F(ReceptionDialog, portGetsTheChosenLineSettingsAndFlowControl) {
  const std::pair<FlowChoice, std::pair<tcflag_t, tcflag_t>> cases[] = {{FlowChoice::XonXoff, {0, IXON | IXOFF}},
                                                                        {FlowChoice::RtsCts, {CRTSCTS, 0}}};
  for (const auto& [flow, flags] : cases) {
    commSet_.ComboBox2->setEditText(QStringLiteral("115200"));
    commSet_.ComboBox4->setEditText(QStringLiteral("TWOSTOPBIT"));
    commSet_.ComboBox5->setEditText(QStringLiteral("ODDPARITY"));
    commSet_.ComboBox6->setCurrentIndex(static_cast<int>(flow));
    startReception();
    const termios t = test::portSettings(pty_);
    EXPECT_EQ(::cfgetispeed(&t), B115200);
    EXPECT_EQ(t.c_cflag & (CSTOPB | PARODD | CRTSCTS), CSTOPB | PARODD | flags.first);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), flags.second);
    form_.currentReadThread()->stopAndJoin();
  }
}

TEST_F(ReceptionDialog, bytesBeforeStx_areDropped) {
  startReception();
  send("\xFF\x01noise\r\n\x02\r\nA\r\n\x03");
  ASSERT_TRUE(waitForStatus(kFinished));
  ASSERT_TRUE(waitForMemoLines(3));
  EXPECT_EQ(memo(), (Lines{"\x02", "A", "\x03"}));
}

TEST_F(ReceptionDialog, pauseInsideALine_keepsTheLineWhole) {
  startReception();
  send("\x02\r\n00NM");
  ASSERT_TRUE(waitForMemoText(QStringLiteral("00NM")));  // the burst ended: its silence has passed
  send("SDR33\r\n\x03");
  ASSERT_TRUE(waitForStatus(kFinished));
  ASSERT_TRUE(waitForMemoLines(3));
  EXPECT_EQ(memo(), (Lines{"\x02", "00NMSDR33", "\x03"}));
}

// The line end that closes a burst is the one the data holds: no empty line
// lies between two bursts, even when the pause falls between CR and LF.
TEST_F(ReceptionDialog, twoBursts_joinWithoutAnEmptyLine) {
  startReception();
  send("\x02\r\nA\r\n");
  ASSERT_TRUE(waitForMemoText(QStringLiteral("A\n")));
  send("B\r");
  ASSERT_TRUE(waitForMemoText(QStringLiteral("B")));
  send("\nC\r\n\x03");
  ASSERT_TRUE(waitForStatus(kFinished));
  ASSERT_TRUE(waitForMemoLines(5));
  form_.Button3Click();
  EXPECT_EQ(buffer(), (Lines{"\x02\r\n", "A\r\n", "B\r\n", "C\r\n", "\x03\r\n"}));
}

TEST_F(ReceptionDialog, bytesAfterEtx_areNotRead) {
  startReception();
  send("\x02\r\nA\r\n\x03\r\nREST");
  ASSERT_TRUE(waitForStatus(kFinished));
  ASSERT_TRUE(waitUntilWorkerEnds());
  EXPECT_EQ(memo(), (Lines{"\x02", "A", "\x03"}));
  EXPECT_EQ(test::unreadPortBytes(pty_), "\r\nREST");
}

TEST_F(ReceptionDialog, okWithEmptyMemo_takesNothing) {
  lineBuffer_.appendLine("earlier");
  lineCount_ = 1;
  form_.show();
  form_.Button3Click();
  EXPECT_FALSE(receptionDone_);
  EXPECT_EQ(lineCount_, 1u);
  EXPECT_EQ(buffer(), Lines{"earlier\r\n"});
  EXPECT_FALSE(form_.isVisible());
}

// A record keeps 170 characters of a line; "ОК" says how many lines lose more.
TEST_F(ReceptionDialog, okWithLinesTooLongForARecord_saysHowManyAreCut) {
  form_.show();
  form_.Memo1->setPlainText(QString(168, u'a') + QLatin1Char('\n') + QString(169, u'b') + QLatin1Char('\n') +
                            QString(200, u'c'));
  form_.Button3Click();
  ASSERT_EQ(seam_.messages.size(), 1);
  EXPECT_TRUE(seam_.messages[0].startsWith(QStringLiteral("Строк длиннее 168 символов: 2.")))
      << seam_.messages[0].toStdString();
  EXPECT_TRUE(receptionDone_);
}

TEST_F(ReceptionDialog, editedMemo_isWhatOkTakes) {
  form_.show();
  form_.Memo1->setPlainText(QStringLiteral("00NMSDR33\nотредактировано"));
  form_.Button3Click();
  EXPECT_TRUE(receptionDone_);
  EXPECT_EQ(buffer(), (Lines{"00NMSDR33\r\n", "\xEE\xF2\xF0\xE5\xE4\xE0\xEA\xF2\xE8\xF0\xEE\xE2\xE0\xED\xEE\r\n"}));
}

TEST_F(ReceptionDialog, showingAgain_clearsTheMemoButKeepsTheStatus) {
  form_.show();
  startReception();
  send("\x02\r\nA\r\n\x03");
  ASSERT_TRUE(waitForStatus(kFinished));
  form_.reject();
  form_.show();
  EXPECT_TRUE(form_.Memo1->document()->isEmpty());
  EXPECT_EQ(form_.statusText(), kFinished);
}

TEST_F(ReceptionDialog, portThatCannotBeOpened_saysSoAndTheWorkerEnds) {
  commSet_.ComboBox1->setEditText(QStringLiteral("/dev/quillmar-no-such-port"));
  form_.Button2Click();
  ASSERT_TRUE(waitUntilWorkerEnds());
  ASSERT_TRUE(test::waitFor([&] { return form_.statusText() != kWaiting; }));
  EXPECT_TRUE(form_.statusText().startsWith(QStringLiteral("Невозможно открыть порт /dev/quillmar-no-such-port")))
      << form_.statusText().toStdString();
}

TEST_F(ReceptionDialog, secondPress_stopsTheFirstWorkerAndReceivesAnew) {
  startReception();
  send("\x02\r\nA");
  ASSERT_TRUE(waitForMemoLines(2));
  startReception();
  send("\x02\r\nB\r\n\x03");
  ASSERT_TRUE(waitForStatus(kFinished));
  ASSERT_TRUE(waitForMemoLines(5));
  EXPECT_EQ(memo(), (Lines{"\x02", "A", "\x02", "B", "\x03"}));
  const QStringList statuses = shownStatuses();
  EXPECT_EQ(statuses.indexOf(kStopped) + 1, statuses.lastIndexOf(kWaiting));
}

TEST_F(ReceptionDialog, closingTheDialog_stopsTheWorkerKeepsItsBytesAndFreesThePort) {
  form_.show();
  startReception();
  send("\x02\r\nA\r\n");
  ASSERT_TRUE(waitForMemoLines(3));
  send("partial");
  form_.reject();
  EXPECT_EQ(form_.currentReadThread(), nullptr);
  EXPECT_EQ(form_.statusText(), kStopped);
  EXPECT_EQ(memo().front(), "\x02");
  EXPECT_TRUE(portIsFree());
}

TEST_F(ReceptionDialog, destroyingTheDialog_stopsTheWorker) {
  {
    TZagruzForm another(nullptr, commSet_, ReceptionTarget{lineBuffer_, lineCount_, receptionDone_}, seam_);
    test::markUnopened(pty_);
    another.Button2Click();
    ASSERT_TRUE(test::waitUntilConfigured(pty_));
    send("\x02\r\nA");
  }
  EXPECT_TRUE(portIsFree());
}

TEST_F(ReceptionDialog, vanishedPort_endsTheReceptionKeepingWhatArrived) {
  startReception();
  send("\x02\r\nA\r\n");
  ASSERT_TRUE(waitForMemoLines(3));
  pty_.closeInstrumentSide();
  ASSERT_TRUE(waitUntilWorkerEnds());
  ASSERT_TRUE(test::waitFor([&] { return form_.statusText().startsWith(QStringLiteral("Прием прерван")); }));
  EXPECT_TRUE(form_.statusText().startsWith(QStringLiteral("Прием прерван, порт недоступен: ") +
                                            QString::fromStdString(pty_.portPath())));
  EXPECT_EQ(memo(), (Lines{"\x02", "A", ""}));
}

TEST_F(ReceptionDialog, receptionHoldingThePort_makesTheUploadReportIt) {
  startReception();
  RecordList list;
  list.append("caption", SurveyRecord::fromLine("00NMSDR33\r\n", kVersionSdr3));
  QTimer::singleShot(0, &commSet_, [this] { commSet_.reject(); });
  uploadRecords(nullptr, commSet_, list, seam_);
  EXPECT_EQ(seam_.messages,
            QStringList{QStringLiteral("Невозможно открыть в запись ") + QString::fromStdString(pty_.portPath())});
}

}  // namespace
}  // namespace quillmar
