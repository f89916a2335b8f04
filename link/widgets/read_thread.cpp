#include "link/widgets/read_thread.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>

#include "link/port_parameters.h"
#include "link/serial/port_device.h"
#include "link/serial/serial_link.h"
#include "link/widgets/happens_before.h"
#include "link/widgets/zagruz_form.h"

namespace quillmar {
namespace {

// A read that brings no byte within this time ends the burst.
constexpr int kBurstGapMs = 100;
// A long transmission shows how much has arrived this often.
constexpr int kCountEveryMs = 100;
constexpr int kJoinSliceMs = 20;

}  // namespace

ReadThread::ReadThread(TZagruzForm& form, CommSettings settings, QString portText)
    : form_(form), settings_(std::move(settings)), portText_(std::move(portText)) {}

ReadThread::~ReadThread() { stopAndJoin(); }

void ReadThread::stopAndJoin() {
  requestInterruption();
  // The worker may be waiting for its last hand-over: serve it while joining.
  while (!wait(QDeadlineTimer(kJoinSliceMs))) QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
  QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
  QUILLMAR_TAKEN_OVER(this);
}

void ReadThread::run() {
  SerialLink link;
  const PortParameters parameters = recognisedParameters(settings_, LinkDirection::Reception);
  if (!link.open(portDevicePath(portText_), QIODevice::ReadOnly, parameters)) {
    postStatus(ReceptionStatus::PortNotOpened, link.errorText());
  } else {
    receive(link);
    link.close();
  }
  QUILLMAR_HANDED_OVER(this);
}

void ReadThread::receive(SerialLink& link) {
  ReceptionMachine machine(*this);
  ReceivedCount count;
  QElapsedTimer sinceShown;
  sinceShown.start();
  while (!machine.finished()) {
    if (isInterruptionRequested()) {
      machine.silence();
      postStatus(ReceptionStatus::Stopped);
      return;
    }
    char byte = 0;
    switch (link.readByte(byte, kBurstGapMs)) {
      case SerialLink::ReadResult::Byte:
        machine.byteArrived(byte);
        if (machine.started()) count.add(byte);
        break;
      case SerialLink::ReadResult::Silence: machine.silence(); break;
      case SerialLink::ReadResult::Lost:
        machine.silence();
        postStatus(ReceptionStatus::PortLost, link.errorText());
        return;
    }
    if (count.bytes != count.shownBytes && (machine.finished() || sinceShown.hasExpired(kCountEveryMs))) {
      postCount(count);
      sinceShown.restart();
    }
  }
}

void ReadThread::postCount(ReceivedCount& count) {
  count.shownBytes = count.bytes;
  QMetaObject::invokeMethod(this, "applyCount", Qt::QueuedConnection, Q_ARG(qint64, count.bytes),
                            Q_ARG(qint64, count.lines));
}

void ReadThread::applyCount(qint64 bytes, qint64 lines) { form_.showReceivedCount(bytes, lines); }

void ReadThread::showStatus(ReceptionStatus status) { postStatus(status); }

void ReadThread::postStatus(ReceptionStatus status, const QString& detail) {
  QMetaObject::invokeMethod(this, "applyStatus", Qt::QueuedConnection, Q_ARG(int, static_cast<int>(status)),
                            Q_ARG(QString, detail));
}

void ReadThread::applyStatus(int status, const QString& detail) {
  form_.showReceptionStatus(static_cast<ReceptionStatus>(status), portText_, detail);
}

void ReadThread::handOver(std::string_view receivedChunk) {
  PendingText.assign(receivedChunk);
  QUILLMAR_HANDED_OVER(&PendingText);
  QMetaObject::invokeMethod(this, "AppendPending", Qt::BlockingQueuedConnection);
  QUILLMAR_TAKEN_OVER(&PendingText);
}

void ReadThread::AppendPending() {
  QUILLMAR_TAKEN_OVER(&PendingText);
  form_.appendToMemo(PendingText);
  PendingText.clear();
  QUILLMAR_HANDED_OVER(&PendingText);
}

}  // namespace quillmar
