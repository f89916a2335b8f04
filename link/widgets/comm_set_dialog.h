#pragma once
// "Настройки": the five serial settings texts in editable drop-downs. The
// texts the dialog shows are the settings in force; CommSet.ini seeds them at
// creation and receives them on OK. "Отмена" and the close box keep what was
// typed in force for this run without writing the file.

#include <QDialog>
#include <QString>

#include "link/comm_settings.h"
#include "widgets/dialog_seam.h"

class QComboBox;
class QPushButton;

namespace quillmar {

class TCommSet final : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TCommSet)

 public:
  // Loads `settingsPath` at once; a failure is shown as an error through
  // `seam` and the creation texts stay.
  TCommSet(QWidget* parent, QString settingsPath, DialogSeam& seam);

  // Shown modally; the caller goes on however it is closed.
  void showSettings();

  // The texts in force; a character without a Windows-1251 byte becomes '?',
  // which matches no recognised text.
  CommSettings currentSettings() const;
  // The port text as shown, for opening the port and for messages.
  QString currentPortText() const;

  QComboBox* ComboBox1 = nullptr;  // "Порт"
  QComboBox* ComboBox2 = nullptr;  // "Baudrate"
  QComboBox* ComboBox3 = nullptr;  // "ByteSize"
  QComboBox* ComboBox4 = nullptr;  // "Stopbit"
  QComboBox* ComboBox5 = nullptr;  // "Parity"
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;

 public slots:
  void OkClick();
  void CancelClick();

 private:
  QComboBox* addComboBox(const QString& label, const QStringList& entries, const QString& text, int row);
  void addPortsFoundOnMachine();
  void loadSettings();
  void showTexts(const CommSettings& settings);
  bool readTexts(CommSettings& settings);

  QString settingsPath_;
  DialogSeam& seam_;
};

}  // namespace quillmar
