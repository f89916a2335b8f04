// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/widgets/zagruz_form.h"

#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>

#include "link/widgets/comm_set_dialog.h"
#include "link/widgets/cut_lines.h"
#include "link/widgets/memo_text.h"
#include "link/widgets/read_thread.h"
#include "records/import.h"
#include "widgets/control_pictures.h"
#include "widgets/text_codec.h"

namespace quillmar {
namespace {

constexpr int kMargin = 16;
constexpr int kGap = 10;
constexpr int kStatusHeight = 41;
constexpr int kButtonHeight = 25;

// A line separator typed with Shift+Enter ends a line as Enter does.
void splitAtSeparators(const QString& block, std::vector<QString>& lines) {
  qsizetype start = 0;
  for (qsizetype i = 0; i < block.size(); ++i) {
    const char16_t unit = block.at(i).unicode();
    if (unit == QChar::LineSeparator || unit == QChar::ParagraphSeparator) {
      lines.push_back(block.mid(start, i - start));
      start = i + 1;
    }
  }
  lines.push_back(block.mid(start));
}

}  // namespace

TZagruzForm::TZagruzForm(QWidget* parent, TCommSet& commSet, ReceptionTarget target, DialogSeam& seam)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      commSet_(commSet),
      target_(target),
      seam_(seam) {
  setWindowTitle(QStringLiteral("Загрузка данных"));
  setModal(true);
  createControls();
  setMinimumSize(440, 260);
  resize(699, 494);
  layOut();
}

TZagruzForm::~TZagruzForm() { stopReception(); }

void TZagruzForm::createControls() {
  Memo1 = new ControlPictureEdit(this);
  Memo1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  GroupBox1 = new QFrame(this);
  GroupBox1->setFrameShape(QFrame::StyledPanel);
  StaticText1 = new QLabel(QStringLiteral("Статус:"), GroupBox1);
  StaticText2 = new QLabel(GroupBox1);
  StaticText2->setWordWrap(true);
  StaticText2->setText(cp1251ToQString(receptionStatusText(ReceptionStatus::Prompt)));

  CountText = new QLabel(this);
  CountText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  Button1 = new QPushButton(QStringLiteral("Настройки порта"), this);
  Button1->setToolTip(QStringLiteral("Настройка параметров параллельного порта"));
  Button2 = new QPushButton(QStringLiteral("Прием"), this);
  Button2->setToolTip(QStringLiteral("Запуск процедуры приема данных"));
  Button3 = new QPushButton(QStringLiteral("ОК"), this);
  Button3->setToolTip(QStringLiteral("Закрытие окна"));
  for (QPushButton* button : {Button1, Button2, Button3}) button->setAutoDefault(false);
  connect(Button1, &QPushButton::clicked, this, &TZagruzForm::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TZagruzForm::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TZagruzForm::Button3Click);
}

void TZagruzForm::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  layOut();
}

void TZagruzForm::layOut() {
  const int memoWidth = width() - 45;
  const int memoHeight = height() - 140;
  Memo1->setGeometry(kMargin, kMargin, memoWidth, memoHeight);
  const int statusTop = kMargin + memoHeight + kGap;
  GroupBox1->setGeometry(kMargin, statusTop, memoWidth, kStatusHeight);
  StaticText1->setGeometry(8, 4, 56, kStatusHeight - 8);
  StaticText2->setGeometry(68, 4, memoWidth - 76, kStatusHeight - 8);
  const int buttonTop = statusTop + kStatusHeight + kGap;
  Button1->setGeometry(kMargin, buttonTop, 129, kButtonHeight);
  const int countLeft = kMargin + 129 + kGap;
  CountText->setGeometry(countLeft, buttonTop, memoWidth - 285 - kGap - countLeft, kButtonHeight);
  Button2->setGeometry(memoWidth - 285, buttonTop, 113, kButtonHeight);
  Button3->setGeometry(memoWidth - 130, buttonTop, 113, kButtonHeight);
}

void TZagruzForm::showEvent(QShowEvent* event) {
  Memo1->clear();
  CountText->clear();
  memoContinuesReception_ = false;
  QDialog::showEvent(event);
}

void TZagruzForm::Button1Click() { commSet_.showSettings(); }

void TZagruzForm::Button2Click() {
  stopReception();
  ReceptionWindow& window = *this;
  CurrentReadThread = std::make_unique<ReadThread>(window, commSet_.currentSettings(), commSet_.currentPortText(),
                                                   commSet_.currentPacing().flow);
  CountText->clear();
  memoContinuesReception_ = false;
  CurrentReadThread->start();
  showReceptionStatus(ReceptionStatus::Waiting, {}, {});
}

void TZagruzForm::Button3Click() {
  stopReception();
  QChar unmapped;
  const auto lines = memoLines(&unmapped);
  if (!lines) {
    seam_.showMessage(this, QStringLiteral("Символ «%1» нельзя сохранить в кодировке Windows-1251: "
                                           "исправьте текст и нажмите «ОК» снова.")
                                .arg(unmapped));
    return;
  }
  if (takeMemoLines(*lines, target_.lineBuffer, target_.lineCount)) {
    target_.receptionDone = true;
    if (const std::size_t cut = CountCutLines(target_.lineBuffer, target_.lineCount); cut != 0) {
      seam_.showMessage(this, cutLinesMessage(cut));
    }
  }
  accept();
}

void TZagruzForm::done(int result) {
  stopReception();
  QDialog::done(result);
}

void TZagruzForm::stopReception() {
  if (!CurrentReadThread) return;
  CurrentReadThread->stopAndJoin();
  CurrentReadThread.reset();
}

void TZagruzForm::appendToMemo(std::string_view bytes) {
  QTextCursor end(Memo1->document());
  end.movePosition(QTextCursor::End);
  if (!memoContinuesReception_ && !Memo1->document()->isEmpty()) end.insertBlock();
  memoContinuesReception_ = true;
  end.insertText(memoTextFromBytes(bytes));
  Memo1->ensureCursorVisible();
}

void TZagruzForm::showStatus(ReceptionStatus status) { showReceptionStatus(status, {}, {}); }

void TZagruzForm::handOver(std::string_view receivedChunk) { appendToMemo(receivedChunk); }

void TZagruzForm::showCount(const ReceivedCount& count) {
  showReceivedCount(static_cast<qint64>(count.bytes), static_cast<qint64>(count.lines));
}

void TZagruzForm::showPortFailure(ReceptionStatus status, const QString& portText, const QString& reason) {
  showReceptionStatus(status, portText, reason);
}

void TZagruzForm::showReceptionStatus(ReceptionStatus status, const QString& portText, const QString& detail) {
  QString text = cp1251ToQString(receptionStatusText(status));
  if (status == ReceptionStatus::PortNotOpened || status == ReceptionStatus::PortLost) {
    text += portText;
    if (!detail.isEmpty()) text += QStringLiteral(" (%1)").arg(detail);
  }
  StaticText2->setText(text);
  emit statusShown(text);
}

void TZagruzForm::showReceivedCount(qint64 bytes, qint64 lines) {
  CountText->setText(QStringLiteral("Принято байт: %1, строк: %2").arg(bytes).arg(lines));
}

QString TZagruzForm::statusText() const { return StaticText2->text(); }

std::optional<std::vector<std::string>> TZagruzForm::memoLines(QChar* unmapped) const {
  std::vector<std::string> lines;
  const QTextDocument* document = Memo1->document();
  if (document->isEmpty()) return lines;
  std::vector<QString> texts;
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    splitAtSeparators(block.text(), texts);
  }
  lines.reserve(texts.size());
  for (const QString& text : texts) {
    auto bytes = visibleTextToCp1251(text, unmapped);
    if (!bytes) return std::nullopt;
    lines.push_back(std::move(*bytes));
  }
  return lines;
}

}  // namespace quillmar
