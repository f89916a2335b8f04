// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/widgets/comm_set_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTimer>

#include <memory>

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
  EXPECT_EQ(entries(dialog.ComboBox2),
            (QStringList{"1200", "2400", "4800", "9600", "19200", "38400", "300", "600", "57600", "115200"}));
  EXPECT_EQ(entries(dialog.ComboBox3), (QStringList{"7", "8"}));
  EXPECT_EQ(entries(dialog.ComboBox4), (QStringList{"ONESTOPBIT", "TWOSTOPBIT"}));
  EXPECT_EQ(entries(dialog.ComboBox5), (QStringList{"NOPARITY", "EVENPARITY", "ODDPARITY", "MARKPARITY"}));
  EXPECT_EQ(entries(dialog.ComboBox6), (QStringList{"Нет", "RTS/CTS", "XON/XOFF"}));
  EXPECT_FALSE(dialog.ComboBox6->isEditable());
  EXPECT_EQ(dialog.currentPacing(), LinkPacing{});
  EXPECT_EQ(dialog.SpinBox1->minimum(), 0);
  EXPECT_EQ(dialog.SpinBox1->maximum(), 1000);
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
  EXPECT_EQ(iniBytes().mid(0, 5), QByteArray("\x04"
                                             "COM1"));
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

// Flow control and the line pause live in quillmar.conf, not in CommSet.ini:
// OK keeps them there for the next start; CommSet.ini keeps its 36 bytes.
TEST_F(CommSetDialog, pacing_isKeptInTheProgramSettingsFile) {
  const QString conf = dir_.filePath(QStringLiteral("quillmar.conf"));
  const auto settingsFile = [&conf] { return std::make_unique<QSettings>(conf, QSettings::IniFormat); };
  {
    TCommSet dialog(nullptr, iniPath(), seam_, settingsFile());
    dialog.ComboBox1->setEditText("COM1");
    dialog.ComboBox6->setCurrentIndex(static_cast<int>(FlowChoice::RtsCts));
    dialog.SpinBox1->setValue(250);
    dialog.OkClick();
  }
  EXPECT_EQ(iniBytes().size(), 36);
  TCommSet next(nullptr, iniPath(), seam_, settingsFile());
  EXPECT_EQ(next.currentPacing(), (LinkPacing{FlowChoice::RtsCts, 250}));
  EXPECT_EQ(next.ComboBox6->currentText(), QStringLiteral("RTS/CTS"));
}

TEST_F(CommSetDialog, pacingValuesNotOurs_giveTheDefaults) {
  const QString conf = dir_.filePath(QStringLiteral("quillmar.conf"));
  {
    QSettings file(conf, QSettings::IniFormat);
    file.setValue(QStringLiteral("link/flowControl"), QStringLiteral("XON/XOFF"));
    file.setValue(QStringLiteral("link/linePauseMs"), 5000);
  }
  TCommSet dialog(nullptr, iniPath(), seam_, std::make_unique<QSettings>(conf, QSettings::IniFormat));
  EXPECT_EQ(dialog.currentPacing(), LinkPacing{});
}

TEST_F(CommSetDialog, newTexts_storedInTheRecordAndReadBack) {
  {
    TCommSet dialog(nullptr, iniPath(), seam_);
    for (auto [box, text] : {std::pair{dialog.ComboBox1, "COM2"},
                             {dialog.ComboBox2, "115200"},
                             {dialog.ComboBox3, "7"},
                             {dialog.ComboBox4, "TWOSTOPBIT"},
                             {dialog.ComboBox5, "MARKPARITY"}}) {
      box->setEditText(QString::fromLatin1(text));
    }
    dialog.OkClick();
  }
  EXPECT_EQ(iniBytes().size(), 36);
  TCommSet next(nullptr, iniPath(), seam_);
  EXPECT_EQ(texts(next), (QStringList{"COM2", "115200", "7", "TWOSTOPBIT", "MARKPARITY"}));
}

TEST_F(CommSetDialog, showingAgain_keepsTheTypedPortWhileThePortListIsReadAfresh) {
  TCommSet dialog(nullptr, iniPath(), seam_);
  dialog.ComboBox1->setEditText(QStringLiteral("/dev/ttyUSB7"));
  QTimer::singleShot(0, &dialog, &TCommSet::CancelClick);
  dialog.showSettings();
  EXPECT_EQ(dialog.currentPortText(), QStringLiteral("/dev/ttyUSB7"));
  EXPECT_EQ(entries(dialog.ComboBox1).mid(0, 4), (QStringList{"COM1", "COM2", "COM3", "COM4"}));
}

}  // namespace
}  // namespace quillmar
