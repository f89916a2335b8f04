#pragma once
// ReadThread: the reception worker started by "Прием". It owns the port: it
// opens it exclusively, reads it a byte at a time and feeds the bursts to a
// ReceptionMachine. Each burst is handed to the window thread in PendingText
// and AppendPending runs there while the worker waits; statuses go to the
// window thread in the order they arise. The worker tests for interruption
// at least every 100 ms, so stopAndJoin always returns promptly.

#include <QString>
#include <QThread>

#include <string>

#include "link/comm_settings.h"
#include "link/reception.h"

namespace quillmar {

class SerialLink;
class TZagruzForm;

class ReadThread final : public QThread, private ReceptionSink {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(ReadThread)

 public:
  // The settings are taken as they are now; later edits do not reach a
  // running reception.
  ReadThread(TZagruzForm& form, CommSettings settings, QString portText);
  ~ReadThread() override;  // stops and joins

  // Window thread: ends the reception (the burst received so far still
  // reaches the memo) and waits for the worker to release the port.
  void stopAndJoin();

  // The received text waiting for the memo; cleared by AppendPending.
  std::string PendingText;

  // Window thread: appends PendingText to the memo and clears it.
  Q_INVOKABLE void AppendPending();
  // Window thread: a status the worker asked for.
  Q_INVOKABLE void applyStatus(int status, const QString& detail);
  // Window thread: how much of the transmission has arrived so far.
  Q_INVOKABLE void applyCount(qint64 bytes, qint64 lines);

 protected:
  void run() override;

 private:
  void showStatus(ReceptionStatus status) override;
  void handOver(std::string_view receivedChunk) override;
  void postStatus(ReceptionStatus status, const QString& detail = {});
  void receive(SerialLink& link);

  // Bytes from STX on, and the line ends among them (LF, alone or after CR).
  struct ReceivedCount {
    qint64 bytes = 0;
    qint64 lines = 0;
    qint64 shownBytes = 0;
    void add(char byte) {
      ++bytes;
      if (byte == '\n') ++lines;
    }
  };
  void postCount(ReceivedCount& count);

  TZagruzForm& form_;
  const CommSettings settings_;
  const QString portText_;
};

}  // namespace quillmar
