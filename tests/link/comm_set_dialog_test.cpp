#include "link/widgets/comm_set_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>

#include "dialogs_support.h"
#include "records/io_error.h"

namespace quillmar {
namespace {

class CommSetDialog : public ::testing::Test {
 protected:
  QString iniPath() const { return dir_.filePath(QStringLiteral("CommSet.ini")); }
  std::string iniName() const { return iniPath().toStdString(); }
  QByteArray iniBytes() const {
    QFile file(iniPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  void writeIni(const std::string& bytes) const {
    QFile file(iniPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
  static QStringList texts(const TCommSet& dialog) {
    return {dialog.ComboBox1->currentText(), dialog.ComboBox2->currentText(), dialog.ComboBox3->currentText(),
            dialog.ComboBox4->currentText(), dialog.ComboBox5->currentText()};
  }
  static QStringList entries(const QComboBox* box) {
    QStringList list;
    for (int i = 0; i < box->count(); ++i) list << box->itemText(i);
    return list;
  }

  QTemporaryDir dir_;
  test::ScriptedSeam seam_;
};

const QStringList kCreationTexts{"", "4800", "8", "ONESTOPBIT", "NOPARITY"};

TEST_F(CommSetDialog, firstStartWithoutFile_reportsIoError103AndShowsCreationTexts) {
  TCommSet dialog(nullptr, iniPath(), seam_);
  EXPECT_EQ(seam_.errors, QStringList{"I/O error 103"});
  EXPECT_EQ(texts(dialog), kCreationTexts);
}

TEST_F(CommSetDialog, controls_carryTheirTextsAndEntries) {
  TCommSet dialog(nullptr, iniPath(), seam_);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Настройки"));
  EXPECT_EQ(entries(dialog.ComboBox1).mid(0, 4), (QStringList{"COM1", "COM2", "COM3", "COM4"}));
  EXPECT_EQ(entries(dialog.ComboBox2), (QStringList{"1200", "2400", "4800", "9600", "19200", "38400"}));
  EXPECT_EQ(entries(dialog.ComboBox3), (QStringList{"7", "8"}));
  EXPECT_EQ(entries(dialog.ComboBox4), QStringList{"ONESTOPBIT"});
  EXPECT_EQ(entries(dialog.ComboBox5), QStringList{"NOPARITY"});
  for (QComboBox* box : {dialog.ComboBox1, dialog.ComboBox2, dialog.ComboBox3, dialog.ComboBox4, dialog.ComboBox5}) {
    EXPECT_TRUE(box->isEditable());
  }
  EXPECT_EQ(dialog.OkButton->text(), QStringLiteral("OK"));
  EXPECT_EQ(dialog.CancelButton->text(), QStringLiteral("Отмена"));
  EXPECT_TRUE(dialog.OkButton->isDefault());
  dialog.show();
  EXPECT_LT(dialog.CancelButton->x(), dialog.OkButton->x());
}

TEST_F(CommSetDialog, shortFile_reportsReadBeyondEndAndAppliesNothing) {
  writeIni(encodeCommSettings({"COM3", "9600", "7", "TWOSTOPBIT", "PARITY"}).substr(0, 20));
  TCommSet dialog(nullptr, iniPath(), seam_);
  EXPECT_EQ(seam_.errors, QStringList{"Read beyond end of file"});
  EXPECT_EQ(texts(dialog), kCreationTexts);
}

TEST_F(CommSetDialog, storedTexts_replaceAllButEmptyOnes) {
  writeIni(encodeCommSettings({"COM2", "", "7", "TWOSTOPBIT", "PARITY"}));
  TCommSet dialog(nullptr, iniPath(), seam_);
  EXPECT_TRUE(seam_.errors.isEmpty());
  EXPECT_EQ(texts(dialog), (QStringList{"COM2", "4800", "7", "TWOSTOPBIT", "PARITY"}));
  EXPECT_EQ(dialog.currentSettings(), (CommSettings{"COM2", "4800", "7", "TWOSTOPBIT", "PARITY"}));
}

TEST_F(CommSetDialog, ok_writesOneRecordOfTheShownTexts) {
  TCommSet dialog(nullptr, iniPath(), seam_);
  dialog.ComboBox1->setEditText("COM1");
  dialog.OkClick();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  const QByteArray bytes = iniBytes();
  EXPECT_EQ(bytes.size(), 36);
  EXPECT_EQ(bytes.toStdString(), encodeCommSettings({"COM1", "4800", "8", "ONESTOPBIT", "NOPARITY"}));
}

TEST_F(CommSetDialog, cancel_keepsEditedTextsInForceButWritesNothing) {
  writeIni(encodeCommSettings({"COM1", "4800", "8", "ONESTOPBIT", "NOPARITY"}));
  const QByteArray before = iniBytes();
  TCommSet dialog(nullptr, iniPath(), seam_);
  dialog.ComboBox2->setEditText("57600");
  dialog.CancelClick();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(iniBytes(), before);
  EXPECT_EQ(dialog.currentSettings().baudText, "57600");
}

TEST_F(CommSetDialog, longPortText_comesBackWholeAtTheNextStart) {
  {
    TCommSet dialog(nullptr, iniPath(), seam_);
    dialog.ComboBox1->setEditText("COM10");
    dialog.OkClick();
  }
  EXPECT_EQ(iniBytes().mid(0, 5), QByteArray("\x04" "COM1"));
  TCommSet next(nullptr, iniPath(), seam_);
  EXPECT_EQ(next.currentPortText(), QStringLiteral("COM10"));
}

TEST_F(CommSetDialog, failedWrite_isReportedAndTheDialogStaysOpen) {
  ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("CommSet.ini")));  // a directory in its place
  TCommSet dialog(nullptr, iniPath(), seam_);
  seam_.errors.clear();
  dialog.show();
  dialog.OkClick();
  EXPECT_TRUE(dialog.isVisible());
  ASSERT_EQ(seam_.errors.size(), 1);
  EXPECT_EQ(seam_.errors[0], QStringLiteral("File access denied"));
}

TEST_F(CommSetDialog, textWithoutWindows1251Bytes_isRefusedNotStored) {
  TCommSet dialog(nullptr, iniPath(), seam_);
  seam_.errors.clear();
  dialog.show();
  dialog.ComboBox1->setEditText(QStringLiteral("/dev/ttyUSB\u65E5"));
  dialog.OkClick();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(seam_.errors.size(), 1);
  EXPECT_FALSE(QFile::exists(iniPath()));
  EXPECT_EQ(dialog.currentSettings().portText, "/dev/ttyUSB?");
}

TEST_F(CommSetDialog, cyrillicTexts_areStoredAsWindows1251) {
  TCommSet dialog(nullptr, iniPath(), seam_);
  dialog.ComboBox5->setEditText(QStringLiteral("НЕТ"));
  dialog.OkClick();
  EXPECT_EQ(iniBytes().mid(25, 4), QByteArray("\x03\xCD\xC5\xD2"));
}

}  // namespace
}  // namespace quillmar
