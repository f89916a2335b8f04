// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Each case gets its own program: a fresh state, a scripted seam, the
// long-lived windows, and a temporary directory as the current directory.

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "document/program_state.h"
#include "document/shared_windows.h"
#include "tests/support/scripted_seam.h"

namespace quillmar::test {

class GuiTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  QString path(const QString& name) const { return dir_.filePath(name); }
  void writeFile(const QString& name, const QByteArray& bytes) const;
  QByteArray readFile(const QString& name) const;
  bool fileExists(const QString& name) const;

  // A new document filled by "Импорт" from an SDR text of the given lines.
  TChildForm* newDocumentWith(const std::vector<std::string>& lines);
  // Runs "Импорт" of the given lines in `document`.
  void importLines(TChildForm& document, const std::vector<std::string>& lines);
  // Lets windows closed by their close box go away.
  static void deleteClosedWindows();
  // Closes `document` and its window in the frame, unsaved changes dropped,
  // as far as the windows going away.
  static void closeDocument(TChildForm& document);

  QTemporaryDir dir_;
  QString previousDir_;
  ProgramState program_;
  SharedWindows shared_;
  ScriptedSeam seam_;
  std::unique_ptr<TMainForm> frame_;
  int importedFiles_ = 0;
};

// A short SDR3x field book: header, instrument, station, target, position,
// observation and note records.
std::vector<std::string> sampleFieldBook();

// The bytes of an SDR text file: every line followed by CR LF.
QByteArray sdrText(const std::vector<std::string>& lines);

// A record file of the given SDR3x lines, as the program writes it.
QByteArray recordFileBytes(const std::vector<std::string>& lines);

}  // namespace quillmar::test
