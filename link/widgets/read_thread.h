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

 protected:
  void run() override;

 private:
  void showStatus(ReceptionStatus status) override;
  void handOver(std::string_view receivedChunk) override;
  void postStatus(ReceptionStatus status, const QString& detail = {});
  void receive(SerialLink& link);

  TZagruzForm& form_;
  const CommSettings settings_;
  const QString portText_;
};

}  // namespace quillmar
