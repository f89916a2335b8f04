// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui_fixture.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>

#include "app/startup.h"
#include "document/child_form.h"
#include "link/comm_settings.h"
#include "records/record_file.h"
#include "tests/support/string_sink.h"

namespace quillmar::test {

void GuiTest::SetUp() {
  ASSERT_TRUE(dir_.isValid());
  previousDir_ = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir_.path()));
  // The program is started beside a CommSet.ini, so start-up reports nothing.
  storeCommSettings("CommSet.ini", {"COM1", "4800", "8", "ONESTOPBIT", "NOPARITY"});
  frame_ = createLongLivedWindows(program_, shared_, seam_);
}

void GuiTest::TearDown() {
  for (TChildForm* document : frame_->documents()) document->closeWithoutQuery();
  frame_.reset();
  deleteClosedWindows();
  QDir::setCurrent(previousDir_);
  EXPECT_TRUE(seam_.allAnswersUsed()) << "a scripted answer was never asked for";
}

void GuiTest::writeFile(const QString& name, const QByteArray& bytes) const {
  QFile file(path(name));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray GuiTest::readFile(const QString& name) const {
  QFile file(path(name));
  if (!file.open(QIODevice::ReadOnly)) {
    ADD_FAILURE() << "cannot read " << name.toStdString();
    return {};
  }
  return file.readAll();
}

bool GuiTest::fileExists(const QString& name) const { return QFile::exists(path(name)); }

void GuiTest::importLines(TChildForm& document, const std::vector<std::string>& lines) {
  const QString name = QStringLiteral("import%1.sdr").arg(++importedFiles_);
  writeFile(name, sdrText(lines));
  seam_.openNames << path(name);
  document.ImportClick();
}

TChildForm* GuiTest::newDocumentWith(const std::vector<std::string>& lines) {
  TChildForm* document = frame_->New();
  importLines(*document, lines);
  return document;
}

void GuiTest::deleteClosedWindows() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

void GuiTest::closeDocument(TChildForm& document) {
  document.closeWithoutQuery();
  document.parentWidget()->close();
  deleteClosedWindows();
}

std::vector<std::string> sampleFieldBook() {
  return {
      "00NMSDR33 V04-04.02     06-FEB-21 08:36 113111",
      "01NM:SET600 V32-00   017040SET600 V32-00   01704031                                0.000",
      "02TS             ST1       1000.000        2000.000          10.000           1.500",
      "03NM1.600",
      "08KI              P1       1010.000        2010.000          11.000",
      "09F1             ST1              P1          25.000          90.0000         45.0000",
      "13NMa note",
  };
}

QByteArray sdrText(const std::vector<std::string>& lines) {
  QByteArray bytes;
  for (const std::string& line : lines) bytes += QByteArray::fromStdString(line) + "\r\n";
  return bytes;
}

QByteArray recordFileBytes(const std::vector<std::string>& lines) {
  RecordList list;
  for (const std::string& line : lines) list.append("caption", SurveyRecord::fromLine(line + "\r\n", kVersionSdr3));
  StringSink sink;
  writeRecords(sink, list);
  return QByteArray::fromStdString(sink.text);
}

}  // namespace quillmar::test
