// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Upload on a worker thread: the window stays responsive and shows progress
// while the bytes, unchanged and in order, go out through an exclusively
// opened port that is closed again in every case. Every outcome but success
// is reported: a port that cannot be opened, a write that fails or stops
// short, a cancel.

#include <QString>
#include <QThread>

#include <cstddef>
#include <string>

#include "link/comm_settings.h"
#include "link/port_parameters.h"
#include "records/record_list.h"
#include "widgets/dialog_seam.h"

class QWidget;

namespace quillmar {

class TCommSet;

struct UploadOutcome {
  enum class Kind { Done, NotOpened, Failed, Cancelled };
  Kind kind = Kind::Done;
  std::size_t transmitted = 0;
  std::size_t total = 0;
  QString reason;                         // the system's words for a failure
  std::size_t framingRecordsLeftOut = 0;  // records with STX or ETX lines, not sent
};

class UploadThread final : public QThread {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(UploadThread)

 public:
  UploadThread(CommSettings settings, LinkPacing pacing, QString portText, std::string text);
  ~UploadThread() override;  // cancels and joins

  // After the thread has finished.
  UploadOutcome outcome() const;

 signals:
  void progressed(qint64 transmitted);
  // Every few seconds without progress: the instrument holds the upload.
  void held(qint64 transmitted);

 protected:
  void run() override;

 private:
  const CommSettings settings_;
  const LinkPacing pacing_;
  const QString portText_;
  const std::string text_;
  UploadOutcome outcome_;
};

// Runs the upload under a progress dialog whose "Отмена" stops it.
UploadOutcome runUpload(QWidget* parent, const CommSettings& settings, const LinkPacing& pacing,
                        const QString& portText, std::string text);

// The progress dialog's text while the instrument holds the upload.
QString uploadHeldText(std::size_t transmitted, std::size_t total);

// The message for an outcome; empty for success when no record was left out.
QString uploadOutcomeMessage(const UploadOutcome& outcome, const QString& portText);

// "Выгрузить" once the document is known to be started: the settings dialog,
// then the upload of the list's records, then its report.
void uploadRecords(QWidget* parent, TCommSet& commSet, const RecordList& list, DialogSeam& seam);

}  // namespace quillmar
