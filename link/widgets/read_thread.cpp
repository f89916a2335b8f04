// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/widgets/read_thread.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include "link/port_parameters.h"
#include "link/serial/port_device.h"
#include "link/serial/serial_link.h"
#include "link/widgets/happens_before.h"

namespace quillmar {
namespace {

constexpr int kJoinSliceMs = 20;

}  // namespace

ReadThread::ReadThread(ReceptionWindow& window, CommSettings settings, QString portText, FlowChoice flow)
    : window_(window), settings_(std::move(settings)), portText_(std::move(portText)), flow_(flow) {}

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
  const PortParameters parameters = recognisedParameters(settings_, LinkDirection::Reception, flow_);
  if (!link.open(portDevicePath(portText_), QIODevice::ReadOnly, parameters)) {
    postPortFailure(ReceptionStatus::PortNotOpened, link.errorText());
  } else {
    receive(link);
    link.close();
  }
  QUILLMAR_HANDED_OVER(this);
}

void ReadThread::receive(SerialLink& link) {
  switch (receiveTransmission(link, *this, [this] { return isInterruptionRequested(); })) {
    case ReceptionEnd::Finished: break;
    case ReceptionEnd::Stopped: showStatus(ReceptionStatus::Stopped); break;
    case ReceptionEnd::PortLost: postPortFailure(ReceptionStatus::PortLost, link.errorText()); break;
  }
}

// Queued calls onto this object, which lives in the window thread, arrive
// there in the order the worker makes them.
void ReadThread::showStatus(ReceptionStatus status) {
  QMetaObject::invokeMethod(
      this, [this, status] { window_.showStatus(status); }, Qt::QueuedConnection);
}

void ReadThread::showCount(const ReceivedCount& count) {
  QMetaObject::invokeMethod(
      this, [this, count] { window_.showCount(count); }, Qt::QueuedConnection);
}

void ReadThread::postPortFailure(ReceptionStatus status, const QString& reason) {
  QMetaObject::invokeMethod(
      this, [this, status, reason] { window_.showPortFailure(status, portText_, reason); }, Qt::QueuedConnection);
}

void ReadThread::handOver(std::string_view receivedChunk) {
  pendingText_.assign(receivedChunk);
  QUILLMAR_HANDED_OVER(&pendingText_);
  QMetaObject::invokeMethod(
      this,
      [this] {
        QUILLMAR_TAKEN_OVER(&pendingText_);
        window_.handOver(pendingText_);
        pendingText_.clear();
        QUILLMAR_HANDED_OVER(&pendingText_);
      },
      Qt::BlockingQueuedConnection);
  QUILLMAR_TAKEN_OVER(&pendingText_);
}

}  // namespace quillmar
