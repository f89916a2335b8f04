// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Загрузка данных": the reception dialog. "Прием" starts a ReadThread whose
// bursts fill the memo; "ОК" turns the memo's lines into the line buffer and
// sets ReceptionDone for the receive command. A reception still running
// when the dialog closes, when "Прием" is pressed again or when the program
// ends is stopped and its port released.

#include <QDialog>
#include <QString>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/reception.h"
#include "link/widgets/read_thread.h"
#include "records/line_buffer.h"
#include "widgets/dialog_seam.h"

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace quillmar {

class TCommSet;

// Where "ОК" leaves the received lines: the program-wide buffer and flags.
struct ReceptionTarget {
  LineBuffer& lineBuffer;
  std::size_t& lineCount;
  bool& receptionDone;
};

class TZagruzForm final : public QDialog, private ReceptionWindow {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TZagruzForm)

 public:
  TZagruzForm(QWidget* parent, TCommSet& commSet, ReceptionTarget target, DialogSeam& seam);
  ~TZagruzForm() override;

  // Window thread, from the worker's hand-over: the bytes join the text that
  // this reception has put in the memo; a new reception starts a new line.
  void appendToMemo(std::string_view bytes);
  void showReceptionStatus(ReceptionStatus status, const QString& portText, const QString& detail);
  // Beside the status, while a transmission arrives; empty before it.
  void showReceivedCount(qint64 bytes, qint64 lines);

  // The memo's lines as bytes; nothing when a typed character has no byte.
  std::optional<std::vector<std::string>> memoLines(QChar* unmapped = nullptr) const;
  QString statusText() const;
  // The reception started last, if it still exists (CurrentReadThread).
  ReadThread* currentReadThread() const { return CurrentReadThread.get(); }

  QPlainTextEdit* Memo1 = nullptr;
  QFrame* GroupBox1 = nullptr;
  QLabel* StaticText1 = nullptr;   // "Статус:"
  QLabel* StaticText2 = nullptr;   // the status text
  QLabel* CountText = nullptr;     // bytes and lines received so far
  QPushButton* Button1 = nullptr;  // "Настройки порта"
  QPushButton* Button2 = nullptr;  // "Прием"
  QPushButton* Button3 = nullptr;  // "ОК"

 signals:
  void statusShown(const QString& text);

 public slots:
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void showStatus(ReceptionStatus status) override;
  void handOver(std::string_view receivedChunk) override;
  void showCount(const ReceivedCount& count) override;
  void showPortFailure(ReceptionStatus status, const QString& portText, const QString& reason) override;
  void createControls();
  void layOut();
  void stopReception();

  TCommSet& commSet_;
  ReceptionTarget target_;
  DialogSeam& seam_;
  std::unique_ptr<ReadThread> CurrentReadThread;
  bool memoContinuesReception_ = false;
};

}  // namespace quillmar
