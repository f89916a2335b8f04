// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// ReadThread: the reception worker started by "Прием". It owns the port: it
// opens it exclusively and runs the reception loop on it. Each burst is
// handed to the window on the window thread while the worker waits; statuses
// go there in the order they arise. The worker tests for interruption at
// least every 100 ms, so stopAndJoin always returns promptly.

#include <QString>
#include <QThread>

#include <string>

#include "link/comm_settings.h"
#include "link/port_parameters.h"
#include "link/reception.h"

namespace quillmar {

class SerialLink;

// The reception dialog as the worker reaches it: every call arrives on the
// window thread.
class ReceptionWindow : public ReceptionSink {
 public:
  // PortNotOpened or PortLost, with the port's text and the system's reason.
  virtual void showPortFailure(ReceptionStatus status, const QString& portText, const QString& reason) = 0;
};

class ReadThread final : public QThread, private ReceptionSink {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(ReadThread)

 public:
  // The settings are taken as they are now; later edits do not reach a
  // running reception.
  ReadThread(ReceptionWindow& window, CommSettings settings, QString portText, FlowChoice flow = FlowChoice::None);
  ~ReadThread() override;  // stops and joins

  // Window thread: ends the reception (the burst received so far still
  // reaches the memo) and waits for the worker to release the port.
  void stopAndJoin();

 protected:
  void run() override;

 private:
  void showStatus(ReceptionStatus status) override;
  void handOver(std::string_view receivedChunk) override;
  void showCount(const ReceivedCount& count) override;
  void postPortFailure(ReceptionStatus status, const QString& reason);
  void receive(SerialLink& link);

  ReceptionWindow& window_;
  // The burst on its way to the window; only one thread touches it at a time.
  std::string pendingText_;
  const CommSettings settings_;
  const QString portText_;
  const FlowChoice flow_;
};

}  // namespace quillmar
