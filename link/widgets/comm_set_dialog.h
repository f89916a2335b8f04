// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Настройки": the five serial settings texts in editable drop-downs. The
// texts the dialog shows are the settings in force; CommSet.ini seeds them at
// creation and receives them on OK. "Отмена" and the close box keep what was
// typed in force for this run without writing the file. Below them, flow
// control and the pause after each uploaded line, kept likewise in the
// program's settings file (quillmar.conf) rather than in CommSet.ini.

#include <QDialog>
#include <QSettings>
#include <QString>

#include <memory>

#include "link/comm_settings.h"
#include "link/port_parameters.h"
#include "widgets/dialog_seam.h"

class QComboBox;
class QPushButton;
class QSpinBox;

namespace quillmar {

class TCommSet final : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TCommSet)

 public:
  // Loads `settingsPath` and the pacing from `userSettings` at once; a
  // failure of the former is shown as an error through `seam` and the
  // creation texts stay. Without `userSettings` the pacing lives for this run only.
  TCommSet(QWidget* parent, QString settingsPath, DialogSeam& seam, std::unique_ptr<QSettings> userSettings = nullptr);
  ~TCommSet() override;

  // Shown modally, with the ports of this machine read afresh; the caller
  // goes on however it is closed.
  void showSettings();

  // The texts in force; a character without a Windows-1251 byte becomes '?',
  // which matches no recognised text.
  CommSettings currentSettings() const;
  // The port text as shown, for opening the port and for messages.
  QString currentPortText() const;
  LinkPacing currentPacing() const;

  QComboBox* ComboBox1 = nullptr;  // "Порт"
  QComboBox* ComboBox2 = nullptr;  // "Baudrate"
  QComboBox* ComboBox3 = nullptr;  // "ByteSize"
  QComboBox* ComboBox4 = nullptr;  // "Stopbit"
  QComboBox* ComboBox5 = nullptr;  // "Parity"
  QComboBox* ComboBox6 = nullptr;  // flow control, not editable
  QSpinBox* SpinBox1 = nullptr;    // pause after each uploaded line, ms
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;

 public slots:
  void OkClick();
  void CancelClick();

 private:
  QComboBox* addComboBox(const QString& label, const QStringList& entries, const QString& text, int row);
  void addPortsFoundOnMachine();
  void loadSettings();
  void loadPacing();
  bool storePacing();
  void showTexts(const CommSettings& settings);
  bool readTexts(CommSettings& settings);

  QString settingsPath_;
  DialogSeam& seam_;
  std::unique_ptr<QSettings> userSettings_;
};

}  // namespace quillmar
