// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file commands of a document window: Open, Save, Save as, Import,
// Export. Each failure ends its command with a message box carrying the
// run-time's text; what was done before the failure stays done.

#include <QString>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "document/document_state.h"

class QWidget;

namespace quillmar {

class DialogSeam;
class IoError;
class RecordList;
class RecordListModel;
class RecentFiles;
namespace survey {
struct Adjustment;
}
struct CaptionState;
struct ProgramState;

enum class SaveResult { Skipped, Written, Cancelled, Failed };

class DocumentFiles {
 public:
  DocumentFiles(QWidget& window, DocumentState& state, RecordListModel& model, ProgramState& program, DialogSeam& seam);

  // `openElsewhere` is told the file chosen; when it answers true, another
  // window holds that file already and nothing is read here.
  void Open(const std::function<bool(const QString&)>& openElsewhere = {});
  // Open and Import without their file dialog, for a file named from
  // outside the windows (command line, a drop, the recent files).
  void OpenFile(const QString& path);
  SaveResult Save();
  SaveResult SaveAs();
  // Returns false when the file could not be read or its reading was cancelled.
  bool Import();
  bool ImportFile(const QString& path);
  // Turns the first LineCount lines of the line buffer into rows.
  void Obrabotka();
  void Export();
  // Yes to the close question in a window that has no file yet: asks for
  // one, as Save as would.
  SaveResult SaveToNewFile();
  // Told, once per file read, what the window's status line is to say of it
  // (what was wrong with it); an empty text clears the line.
  void setStatusHandler(std::function<void(const QString&)> handler);
  // Told the path of every file read or written whole.
  void setFileUsedHandler(std::function<void(const QString&)> handler);
  // Where the coordinate system of a CAD/GIS export is remembered per file.
  void setRecentFiles(RecentFiles* recent) { recent_ = recent; }
  // The results window's adjustment, if any: a GIS export gives its points'
  // standard deviations.
  void setAdjustmentSource(std::function<const survey::Adjustment*()> source) { adjustment_ = std::move(source); }
  // Whether another window holds a record file: saving into it would make
  // the two windows overwrite each other's book.
  void setHeldElsewhere(std::function<bool(const QString&)> held) { heldElsewhere_ = std::move(held); }

 private:
  QString askRecordFileName();
  // Asks what to do with a file that plainly is no record file; true when
  // it is to be read as records all the same.
  bool readDoubtfulFileAsRecords(const QString& path);
  bool writeRecordsTo(const QString& path);
  // Rows read whole, and the captions' state they leave.
  void appendRows(RecordList&& rows, const CaptionState& captions);
  void showIoError(const IoError& error);
  void showStatus(const QString& text);
  // The kinds after the record exports: points and lines through GDAL.
  void exportGis(std::size_t format, const QString& chosenPath);
  void setCaptionToDocName();
  void reportFileUsed(const QString& path) const;
  // True, after saying so, when an export to `name` would write over the
  // document's record file or a file that was read into it.
  bool refuseExportOverSource(const std::string& name);

  QWidget& window_;
  DocumentState& state_;
  RecordListModel& model_;
  ProgramState& program_;
  DialogSeam& seam_;
  // Each dialog proposes what was chosen in it last time.
  QString saveName_;
  QString exportName_;
  int exportFilterIndex_ = 1;
  unsigned gisLayers_ = 7;  // all
  QString gisCrs_;          // for a document without a file
  RecentFiles* recent_ = nullptr;
  // Every file opened or imported into the document (native names).
  std::vector<std::string> sourceFiles_;
  std::function<void(const QString&)> fileUsed_;
  std::function<bool(const QString&)> heldElsewhere_;
  std::function<void(const QString&)> statusHandler_;
  std::function<const survey::Adjustment*()> adjustment_;
};

}  // namespace quillmar
