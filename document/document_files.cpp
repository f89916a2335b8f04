#include "document/document_files.h"

#include <QFile>
#include <QWidget>

#include <string>
#include <utility>

#include "document/dialog_seam.h"
#include "document/program_state.h"
#include "document/progress_display.h"
#include "document/record_list_model.h"
#include "export/export_writers.h"
#include "records/import.h"
#include "records/io_error.h"
#include "records/record_file.h"

namespace quillmar {
namespace {

const QString kOpenFilter = QStringLiteral("Файлы *.qdl|*.qdl");
const QString kSaveFilter = QStringLiteral("Файлы *.qdl |*.qdl");
const QString kSdrFilter = QStringLiteral("Sokkia SDR files (*.sdr)|*.sdr");
const QString kExportTitle = QStringLiteral("Экспорт");
const QString kExportFilter = QStringLiteral(
    "Текстовый файл|*.txt|OBS в текстовый файл|*.txt|POS в текстовый файл|*.txt|В SDR файл|*.sdr");
const QString kRecordSuffix = QStringLiteral("qdl");
const QString kOpenProgress = QStringLiteral("Чтение файла записей...");
const QString kImportProgress = QStringLiteral("Создание записей...");

std::string nativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

ExportKind exportKindFor(int filterIndex) {
  if (filterIndex < 1 || filterIndex > 4) return ExportKind::CaptionText;
  return static_cast<ExportKind>(filterIndex);
}

}  // namespace

DocumentFiles::DocumentFiles(QWidget& window, DocumentState& state, RecordListModel& model,
                             ProgramState& program, DialogSeam& seam)
    : window_(window), state_(state), model_(model), program_(program), seam_(seam) {}

void DocumentFiles::Open() {
  const QString path = seam_.askOpenFileName(&window_, kOpenFilter, kRecordSuffix);
  if (path.isEmpty()) return;
  OpenFile(path);
}

void DocumentFiles::OpenFile(const QString& path) {
  state_.docStarted = true;
  state_.docName = path;
  try {
    const std::string file = nativePath(path);
    ProgressDisplay progress(&window_, kOpenProgress, recordFileCount(file));
    openRecordFile(file, program_.captions, model_.listForAppending(),
                   [&progress](std::size_t done) { progress.step(done); });
  } catch (const IoError& error) {
    // The records read before the failure stay in the list.
    model_.announceAppendedRows();
    showIoError(error);
    return;
  }
  model_.announceAppendedRows();
  setCaptionToDocName();
  state_.docModified = false;
  reportFileUsed(path);
}

SaveResult DocumentFiles::Save() {
  if (!state_.docStarted) return SaveResult::Skipped;
  if (state_.docUntitled) {
    const QString path = askRecordFileName();
    if (!path.isEmpty()) {
      state_.docName = path;
      if (!writeRecordsTo(path)) return SaveResult::Failed;
      state_.docUntitled = false;
      setCaptionToDocName();
      return SaveResult::Written;
    }
  }
  // A cancelled dialog still saves, under the name the document has.
  if (!writeRecordsTo(state_.docName)) return SaveResult::Failed;
  setCaptionToDocName();
  return SaveResult::Written;
}

SaveResult DocumentFiles::SaveAs() {
  state_.docUntitled = true;
  return Save();
}

SaveResult DocumentFiles::SaveToNewFile() {
  const QString path = askRecordFileName();
  if (path.isEmpty()) return SaveResult::Cancelled;
  state_.docName = path;
  if (!writeRecordsTo(path)) return SaveResult::Failed;
  state_.docStarted = true;
  state_.docUntitled = false;
  setCaptionToDocName();
  return SaveResult::Written;
}

bool DocumentFiles::Import() {
  const QString path = seam_.askOpenFileName(&window_, kSdrFilter, QString());
  if (path.isEmpty()) return true;
  return ImportFile(path);
}

bool DocumentFiles::ImportFile(const QString& path) {
  try {
    program_.lineCount = ImportSdrFile(nativePath(path), program_.lineBuffer);
  } catch (const IoError& error) {
    program_.lineCount = 0;  // the buffer was left empty
    showIoError(error);
    return false;
  }
  Obrabotka();
  reportFileUsed(path);
  return true;
}

void DocumentFiles::Obrabotka() {
  ProgressDisplay progress(&window_, kImportProgress, program_.lineCount);
  quillmar::Obrabotka(program_.lineBuffer, program_.lineCount, program_.captions,
                      model_.listForAppending(), [&progress](std::size_t done) { progress.step(done); });
  model_.announceAppendedRows();
}

void DocumentFiles::Export() {
  if (!state_.docStarted) return;
  SaveRequest request;
  request.title = kExportTitle;
  request.filter = kExportFilter;
  request.filterIndex = exportFilterIndex_;
  request.fileName = exportName_;
  request.confirmOverwrite = false;
  const SaveChoice choice = seam_.askSaveFileName(&window_, request);
  if (!choice.chosen()) return;
  exportFilterIndex_ = choice.filterIndex;
  const ExportKind kind = exportKindFor(choice.filterIndex);
  const std::string name = completeExportName(nativePath(choice.path), kind);
  exportName_ = QFile::decodeName(QByteArray::fromStdString(name));
  try {
    exportToFile(name, model_.list(), kind);
  } catch (const IoError& error) {
    showIoError(error);
  }
}

QString DocumentFiles::askRecordFileName() {
  SaveRequest request;
  request.filter = kSaveFilter;
  request.fileName = saveName_;
  request.defaultSuffix = kRecordSuffix;
  const SaveChoice choice = seam_.askSaveFileName(&window_, request);
  if (choice.chosen()) saveName_ = choice.path;
  return choice.path;
}

bool DocumentFiles::writeRecordsTo(const QString& path) {
  try {
    writeRecordFile(nativePath(path), model_.list());
  } catch (const IoError& error) {
    showIoError(error);
    return false;
  }
  reportFileUsed(path);
  return true;
}

void DocumentFiles::setFileUsedHandler(std::function<void(const QString&)> handler) {
  fileUsed_ = std::move(handler);
}

void DocumentFiles::reportFileUsed(const QString& path) const {
  if (fileUsed_) fileUsed_(path);
}

void DocumentFiles::showIoError(const IoError& error) {
  seam_.showError(&window_, QString::fromStdString(error.what()));
}

void DocumentFiles::setCaptionToDocName() { window_.setWindowTitle(state_.docName); }

}  // namespace quillmar
