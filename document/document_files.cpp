// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/document_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QWidget>

#include <sys/stat.h>

#include <string>
#include <utility>

#include "document/background_load.h"
#include "document/busy_work.h"
#include "document/program_state.h"
#include "document/progress_display.h"
#include "document/recent_files.h"
#include "document/record_list_model.h"
#include "export/export_writers.h"
#include "link/widgets/cut_lines.h"
#include "records/import.h"
#include "records/io_error.h"
#include "records/record_file.h"
#include "records/record_file_check.h"
#include "records/same_file.h"
#include "widgets/dialog_seam.h"
#include "widgets/text_codec.h"
#ifdef QUILLMAR_HAVE_GIS
#include "gis/book_features.h"
#include "gis/gis_export.h"
#include "gis/widgets/gis_export_dialog.h"
#endif

namespace quillmar {
namespace {

const QString kOpenFilter = QStringLiteral("Файлы *.qdl|*.qdl");
const QString kSaveFilter = QStringLiteral("Файлы *.qdl |*.qdl");
const QString kSdrFilter = QStringLiteral("Sokkia SDR files (*.sdr)|*.sdr");
const QString kExportTitle = QStringLiteral("Экспорт");
const QString kRecordSuffix = QStringLiteral("qdl");
const QString kOpenProgress = QStringLiteral("Чтение файла записей...");
const QString kImportProgress = QStringLiteral("Создание записей...");
const QString kReadProgress = QStringLiteral("Чтение файла...");
const QString kSaveProgress = QStringLiteral("Запись файла записей...");
const QString kExportProgress = QStringLiteral("Экспорт записей...");

std::string nativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The size of a regular file, 0 for a pipe or a device (a busy bar).
std::size_t fileSize(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) : 0;
}

QString doubtfulFileQuestion(const QString& path) {
  return QStringLiteral(
             "Файл %1 не похож на файл записей *.qdl: он начинается как текст полевого журнала SDR.\n\n"
             "Да — импортировать его как файл SDR;\n"
             "Нет — всё равно открыть его как файл записей (сохранить поверх него "
             "можно будет только через вопрос «Сохранить как»);\n"
             "Отмена — не открывать.")
      .arg(QDir::toNativeSeparators(path));
}

// "Файл book.qdl: в конце файла 100 байт, не составляющих записи." for the status line.
QString fileNotice(const QString& path, const std::vector<std::string>& sentences) {
  QStringList parts;
  for (const std::string& sentence : sentences) parts << cp1251ToQString(sentence);
  return QStringLiteral("Файл %1: %2.").arg(QDir::toNativeSeparators(path), parts.join(QStringLiteral("; ")));
}

QString heldElsewhereMessage(const QString& path) {
  return QStringLiteral(
             "Файл %1 открыт в другом окне программы: сохранение в него затёрло бы ту книгу, "
             "а то окно потом затёрло бы эту. Выберите другое имя или закройте то окно.")
      .arg(QDir::toNativeSeparators(path));
}

// "Текстовый файл|*.txt|OBS в текстовый файл|*.txt|...", one pair per format.
QString exportFilter() {
  QStringList parts;
  for (const ExportFormat& format : ExportFormats()) {
    parts << cp1251ToQString(format.filterName) << QStringLiteral("*.") + QString::fromLatin1(format.extension);
  }
#ifdef QUILLMAR_HAVE_GIS
  for (const gis::GisFormatInfo& format : gis::GisFormats()) {
    parts << cp1251ToQString(format.filterName) << QStringLiteral("*.") + QString::fromLatin1(format.extension);
  }
#endif
  return parts.join(QLatin1Char('|'));
}

// Rows read on a worker into a list of their own, the captions going on from
// the program's: the caller keeps or drops them.
struct LoadedRows {
  LoadResult result;
  RecordList rows;
  CaptionState captions;
};

using RowReader = std::function<void(const std::string& file, CaptionState&, RecordList&, const ReadProgress&)>;

LoadedRows loadRows(QWidget& window, const QString& label, const std::string& file, std::size_t total,
                    const CaptionState& captions, const RowReader& read) {
  LoadedRows loaded{{}, {}, captions};
  loaded.result = loadInBackground(
      &window, label, total, [&](const LoadProgress& progress) { read(file, loaded.captions, loaded.rows, progress); });
  return loaded;
}

}  // namespace

DocumentFiles::DocumentFiles(QWidget& window, DocumentState& state, RecordListModel& model, ProgramState& program,
                             DialogSeam& seam)
    : window_(window), state_(state), model_(model), program_(program), seam_(seam) {}

void DocumentFiles::Open(const std::function<bool(const QString&)>& openElsewhere) {
  const QString path = seam_.askOpenFileName(&window_, kOpenFilter, kRecordSuffix);
  if (path.isEmpty() || (openElsewhere && openElsewhere(path))) return;
  OpenFile(path);
}

void DocumentFiles::OpenFile(const QString& path) {
  if (!readDoubtfulFileAsRecords(path)) return;
  state_.docStarted = true;
  state_.docName = path;
  const std::string file = nativePath(path);
  sourceFiles_.push_back(file);
  const WaitCursor waiting;
  RecordFileFaults faults;
  LoadedRows loaded =
      loadRows(window_, kOpenProgress, file, recordFileCount(file), program_.captions,
               [&faults](const std::string& name, CaptionState& captions, RecordList& rows,
                         const ReadProgress& progress) { faults = openRecordFile(name, captions, rows, progress); });
  const LoadResult& result = loaded.result;
  if (result.cancelled) {
    // The window is left as if its open dialog had been cancelled: a part of
    // the file under the file's name would be saved over the whole.
    state_.docStarted = false;
    state_.docName.clear();
    return;
  }
  // The records read before a failure stay in the list.
  appendRows(std::move(loaded.rows), loaded.captions);
  if (result.error) {
    showIoError(*result.error);
    return;
  }
  setCaptionToDocName();
  state_.docModified = false;
  if (faults.any()) showStatus(fileNotice(path, RecordFileFaultTexts(faults)));
  // Garbage rows from a field book: Save asks where, instead of overwriting it.
  if (state_.sourceDoubtful) state_.docUntitled = true;
  reportFileUsed(path);
}

bool DocumentFiles::readDoubtfulFileAsRecords(const QString& path) {
  if (checkRecordFile(nativePath(path)).doubt == RecordFileDoubt::None) return true;
  const Answer answer = seam_.confirmYesNoCancel(&window_, doubtfulFileQuestion(path));
  if (answer == Answer::Cancel) return false;
  state_.sourceDoubtful = true;
  if (answer == Answer::No) return true;
  // Imported instead: a new document named after the field book, never saved over it unasked.
  if (ImportFile(path)) {
    const QFileInfo source(path);
    state_.docStarted = true;
    state_.docUntitled = true;
    state_.docModified = true;
    state_.docName = source.dir().filePath(source.completeBaseName() + QStringLiteral(".") + kRecordSuffix);
    setCaptionToDocName();
  }
  return false;
}

SaveResult DocumentFiles::Save() {
  if (!state_.docStarted) return SaveResult::Skipped;
  if (state_.docUntitled) {
    const QString path = askRecordFileName();
    if (!path.isEmpty()) {
      state_.docName = path;
      if (!writeRecordsTo(path)) return SaveResult::Failed;
      state_.docUntitled = false;
      state_.sourceDoubtful = false;
      setCaptionToDocName();
      return SaveResult::Written;
    }
    if (state_.sourceDoubtful) return SaveResult::Cancelled;
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
  state_.sourceDoubtful = false;
  setCaptionToDocName();
  return SaveResult::Written;
}

bool DocumentFiles::Import() {
  const QString path = seam_.askOpenFileName(&window_, kSdrFilter, QString());
  if (path.isEmpty()) return true;
  return ImportFile(path);
}

bool DocumentFiles::ImportFile(const QString& path) {
  const std::string file = nativePath(path);
  showStatus(QString());
  const WaitCursor waiting;
  LoadedRows loaded = loadRows(window_, kReadProgress, file, fileSize(file), program_.captions, &importSdrRows);
  const LoadResult& result = loaded.result;
  // A file that cannot be read, or a Cancel, adds no row and leaves the
  // captions' state as it was.
  if (result.error) showIoError(*result.error);
  if (result.error || result.cancelled) return false;
  const std::size_t cutLines = CountCutRecords(loaded.rows);
  sourceFiles_.push_back(file);
  // Imported all the same, as any text is; but rows of garbage are not left unexplained.
  if (HoldsNoSdrRecord(loaded.rows)) showStatus(fileNotice(path, {std::string(NoSdrRecordText())}));
  appendRows(std::move(loaded.rows), loaded.captions);
  reportFileUsed(path);
  if (cutLines != 0) seam_.showMessage(&window_, cutLinesMessage(cutLines));
  return true;
}

void DocumentFiles::appendRows(RecordList&& rows, const CaptionState& captions) {
  model_.listForAppending().appendRange(std::move(rows));
  program_.captions = captions;
  model_.announceAppendedRows();
}

void DocumentFiles::Obrabotka() {
  const WaitCursor waiting;
  try {
    ProgressDisplay progress(&window_, kImportProgress, program_.lineCount);
    quillmar::Obrabotka(program_.lineBuffer, program_.lineCount, program_.captions, model_.listForAppending(),
                        [&progress](std::size_t done) { progress.step(done); });
  } catch (const ProgressCancelled&) {
    // The rows made so far stay, as after a failure.
  } catch (...) {
    model_.announceAppendedRows();
    throw;
  }
  model_.announceAppendedRows();
}

void DocumentFiles::Export() {
  if (!state_.docStarted) return;
  SaveRequest request;
  request.title = kExportTitle;
  request.filter = exportFilter();
  request.filterIndex = exportFilterIndex_;
  request.fileName = exportName_;
  request.confirmOverwrite = false;
  const SaveChoice choice = seam_.askSaveFileName(&window_, request);
  if (!choice.chosen()) return;
  exportFilterIndex_ = choice.filterIndex;
  const std::size_t recordKinds = ExportFormats().size();
  if (choice.filterIndex > static_cast<int>(recordKinds)) {
    exportGis(static_cast<std::size_t>(choice.filterIndex) - recordKinds - 1, choice.path);
    return;
  }
  const ExportKind kind = FormatForFilterIndex(choice.filterIndex).kind;
  const std::string name = completeExportName(nativePath(choice.path), kind);
  exportName_ = QFile::decodeName(QByteArray::fromStdString(name));
  if (refuseExportOverSource(name)) return;
  try {
    runWithProgress(&window_, kExportProgress, [&] { exportToFile(name, model_.list(), kind); });
  } catch (const IoError& error) {
    showIoError(error);
  }
}

void DocumentFiles::exportGis([[maybe_unused]] std::size_t format, [[maybe_unused]] const QString& chosenPath) {
#ifdef QUILLMAR_HAVE_GIS
  const auto formats = gis::GisFormats();
  if (format >= formats.size()) return;
  std::string name = nativePath(chosenPath);
  // "plan.dxf" typed under another CAD/GIS filter is a DXF drawing.
  const gis::GisFormatInfo* named = gis::GisFormatOfName(name);
  const gis::GisFormatInfo& info = named != nullptr ? *named : formats[format];
  std::string dotted(1, '.');
  dotted.append(info.extension);
  if (name.size() <= dotted.size() || name.compare(name.size() - dotted.size(), dotted.size(), dotted) != 0)
    name += dotted;
  exportName_ = QFile::decodeName(QByteArray::fromStdString(name));
  if (refuseExportOverSource(name)) return;
  const bool hasFile = !state_.docUntitled && recent_ != nullptr;
  gis::GisExportChoice initial{gisLayers_, hasFile ? recent_->exportCrs(state_.docName) : gisCrs_};
  const auto chosen = gis::askGisExport(&window_, info.format, initial);
  if (!chosen) return;
  gisLayers_ = chosen->layers;
  gisCrs_ = chosen->crs;
  if (hasFile) recent_->rememberExportCrs(state_.docName, chosen->crs);
  const gis::GisExportOptions options{chosen->crs.toStdString(), chosen->layers};
  try {
    gis::GisExportSummary summary;
    runWithProgress(&window_, kExportProgress, [&] {
      gis::BookFeatures book = gis::BookFeatures::read(model_.list());
      if (const survey::Adjustment* adjustment = adjustment_ ? adjustment_() : nullptr) book.setAdjustment(*adjustment);
      summary = gis::ExportGis(name, book, info.format, options);
    });
    if (summary.noCoordinates) seam_.showMessage(&window_, cp1251ToQString(gis::NoCoordinatesText()));
    if (const std::string warning = gis::AreaOfUseWarning(summary); !warning.empty())
      seam_.showMessage(&window_, cp1251ToQString(warning));
  } catch (const IoError& error) {
    showIoError(error);
  } catch (const gis::GisError& error) {
    seam_.showError(&window_, cp1251ToQString(gis::GisErrorText(error)));
  }
#endif
}

bool DocumentFiles::refuseExportOverSource(const std::string& name) {
  std::vector<std::string> sources = sourceFiles_;
  if (state_.docStarted) sources.push_back(nativePath(state_.docName));
  for (const std::string& source : sources) {
    if (!IsSameFile(name, source)) continue;
    seam_.showError(&window_, QStringLiteral("Экспорт в файл %1 не выполнен: это файл %2, из которого прочитан "
                                             "документ, и экспорт записал бы поверх него. Выберите другое имя.")
                                  .arg(QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(name))),
                                       QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(source)))));
    return true;
  }
  return false;
}

QString DocumentFiles::askRecordFileName() {
  SaveRequest request;
  request.filter = kSaveFilter;
  request.fileName = saveName_;
  request.defaultSuffix = kRecordSuffix;
  for (;;) {
    const SaveChoice choice = seam_.askSaveFileName(&window_, request);
    if (choice.chosen() && heldElsewhere_ && heldElsewhere_(choice.path)) {
      seam_.showMessage(&window_, heldElsewhereMessage(choice.path));
      continue;
    }
    if (choice.chosen()) saveName_ = choice.path;
    return choice.path;
  }
}

bool DocumentFiles::writeRecordsTo(const QString& path) {
  try {
    const std::string file = nativePath(path);
    runWithProgress(&window_, kSaveProgress, [&] { writeRecordFile(file, model_.list()); });
  } catch (const IoError& error) {
    showIoError(error);
    return false;
  }
  reportFileUsed(path);
  return true;
}

void DocumentFiles::setStatusHandler(std::function<void(const QString&)> handler) {
  statusHandler_ = std::move(handler);
}

void DocumentFiles::showStatus(const QString& text) {
  if (statusHandler_) statusHandler_(text);
}

void DocumentFiles::setFileUsedHandler(std::function<void(const QString&)> handler) { fileUsed_ = std::move(handler); }

void DocumentFiles::reportFileUsed(const QString& path) const {
  if (fileUsed_) fileUsed_(path);
}

void DocumentFiles::showIoError(const IoError& error) {
  seam_.showError(&window_, QString::fromStdString(error.what()));
}

void DocumentFiles::setCaptionToDocName() { window_.setWindowTitle(state_.docName); }

}  // namespace quillmar
