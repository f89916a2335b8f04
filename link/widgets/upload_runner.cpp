// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/widgets/upload_runner.h"

#include <QEventLoop>
#include <QProgressDialog>

#include <algorithm>
#include <climits>

#include "link/port_parameters.h"
#include "link/serial/port_device.h"
#include "link/serial/serial_link.h"
#include "link/transfer_watch.h"
#include "link/upload_text.h"
#include "link/widgets/comm_set_dialog.h"
#include "link/widgets/happens_before.h"

namespace quillmar {
namespace {

constexpr int kShowProgressAfterMs = 400;

int progressUnits(std::size_t bytes) { return static_cast<int>(std::min<std::size_t>(bytes, INT_MAX)); }

}  // namespace

UploadThread::UploadThread(CommSettings settings, LinkPacing pacing, QString portText, std::string text)
    : settings_(std::move(settings)), pacing_(pacing), portText_(std::move(portText)), text_(std::move(text)) {
  outcome_.total = text_.size();
}

UploadThread::~UploadThread() {
  requestInterruption();
  wait();
}

UploadOutcome UploadThread::outcome() const {
  QUILLMAR_TAKEN_OVER(const_cast<UploadThread*>(this));
  return outcome_;
}

void UploadThread::run() {
  SerialLink link;
  const PortParameters parameters = recognisedParameters(settings_, LinkDirection::Upload, pacing_.flow);
  if (!link.open(portDevicePath(portText_), QIODevice::WriteOnly, parameters)) {
    outcome_.kind = UploadOutcome::Kind::NotOpened;
    outcome_.reason = link.errorText();
    QUILLMAR_HANDED_OVER(this);
    return;
  }
  std::size_t reported = 0;
  TransferWatch watch(std::nullopt, TransferClock::now());
  const auto result = link.writeAll(
      text_,
      [&](std::size_t transmitted) {
        if (transmitted != reported) emit progressed(static_cast<qint64>(reported = transmitted));
        if (watch.look(transmitted, TransferClock::now()) == TransferWatch::Verdict::Held) {
          emit held(static_cast<qint64>(transmitted));
        }
        return !isInterruptionRequested();
      },
      outcome_.transmitted, pacing_.linePauseMs);
  switch (result) {
    case SerialLink::WriteResult::Done: outcome_.kind = UploadOutcome::Kind::Done; break;
    case SerialLink::WriteResult::Cancelled: outcome_.kind = UploadOutcome::Kind::Cancelled; break;
    case SerialLink::WriteResult::Failed:
      outcome_.kind = UploadOutcome::Kind::Failed;
      outcome_.reason = link.errorText();
      break;
  }
  link.close();
  QUILLMAR_HANDED_OVER(this);
}

UploadOutcome runUpload(QWidget* parent, const CommSettings& settings, const LinkPacing& pacing,
                        const QString& portText, std::string text) {
  const std::size_t total = text.size();
  UploadThread thread(settings, pacing, portText, std::move(text));
  QProgressDialog progress(QStringLiteral("Выгрузка данных в порт %1").arg(portText), QStringLiteral("Отмена"), 0,
                           progressUnits(total), parent);
  progress.setWindowTitle(QStringLiteral("Выгрузка"));
  progress.setWindowModality(Qt::ApplicationModal);
  progress.setMinimumDuration(kShowProgressAfterMs);
  progress.setAutoClose(false);
  progress.setAutoReset(false);
  QObject::connect(&thread, &UploadThread::progressed, &progress, [&progress](qint64 transmitted) {
    progress.setValue(progressUnits(static_cast<std::size_t>(transmitted)));
  });
  const QString label = progress.labelText();
  QObject::connect(&thread, &UploadThread::progressed, &progress, [&progress, label] {
    if (progress.labelText() != label) progress.setLabelText(label);
  });
  QObject::connect(&thread, &UploadThread::held, &progress, [&progress, total](qint64 transmitted) {
    progress.setLabelText(uploadHeldText(static_cast<std::size_t>(transmitted), total));
    progress.show();
  });
  QObject::connect(&progress, &QProgressDialog::canceled, &thread, [&thread] { thread.requestInterruption(); });
  QEventLoop loop;
  QObject::connect(&thread, &QThread::finished, &loop, &QEventLoop::quit);
  thread.start();
  loop.exec();
  thread.wait();
  return thread.outcome();
}

namespace {

QString messageWithoutLeftOut(const UploadOutcome& outcome, const QString& portText) {
  const QString counts = QStringLiteral("Передано %1 из %2 байт.").arg(outcome.transmitted).arg(outcome.total);
  switch (outcome.kind) {
    case UploadOutcome::Kind::Done: return {};
    case UploadOutcome::Kind::NotOpened: return QStringLiteral("Невозможно открыть в запись ") + portText;
    case UploadOutcome::Kind::Failed:
      return QStringLiteral("Выгрузка не завершена: ошибка порта %1 (%2). ").arg(portText, outcome.reason) + counts;
    case UploadOutcome::Kind::Cancelled: return QStringLiteral("Выгрузка отменена. ") + counts;
  }
  return {};
}

}  // namespace

QString uploadHeldText(std::size_t transmitted, std::size_t total) {
  return QStringLiteral("Прибор задерживает передачу: передано %1 из %2 байт").arg(transmitted).arg(total);
}

QString uploadOutcomeMessage(const UploadOutcome& outcome, const QString& portText) {
  const QString message = messageWithoutLeftOut(outcome, portText);
  if (outcome.framingRecordsLeftOut == 0 || outcome.kind == UploadOutcome::Kind::NotOpened) return message;
  const QString leftOut = QStringLiteral("Пропущено записей с метками начала и конца передачи (STX, ETX): %1.")
                              .arg(outcome.framingRecordsLeftOut);
  if (outcome.kind == UploadOutcome::Kind::Done) return QStringLiteral("Выгрузка завершена. ") + leftOut;
  return message + QLatin1Char(' ') + leftOut;
}

void uploadRecords(QWidget* parent, TCommSet& commSet, const RecordList& list, DialogSeam& seam) {
  commSet.showSettings();
  const QString portText = commSet.currentPortText();
  UploadText text = buildUploadText(list);
  UploadOutcome outcome =
      runUpload(parent, commSet.currentSettings(), commSet.currentPacing(), portText, std::move(text.bytes));
  outcome.framingRecordsLeftOut = text.framingRecordsLeftOut;
  if (const QString message = uploadOutcomeMessage(outcome, portText); !message.isEmpty()) {
    seam.showMessage(parent, message);
  }
}

}  // namespace quillmar
