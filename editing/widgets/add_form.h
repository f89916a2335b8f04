#pragma once
// TAddForm ("Добавление"): builds a new record line of a chosen kind from
// typed values. One instance serves every document window and keeps its kind
// box, rows and values from one use to the next.

#include <QDialog>

#include <string>

#include "editing/widgets/dialog_support.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace quillmar {

class ParameterTable;

class TAddForm final : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TAddForm)

 public:
  explicit TAddForm(QWidget* parent = nullptr);

  // The selected row's SDR layout, in which "ОК" assembles the line.
  void setVersion(char version);
  char version() const { return version_; }
  void clearConfirmed() { confirmed_ = false; }

  bool confirmed() const { return confirmed_; }
  const std::string& kindTypeCode() const { return kindTypeCode_; }
  const std::string& kindDerivCode() const { return kindDerivCode_; }
  // Windows-1251 bytes of the line that the last "ОК" assembled.
  const std::string& line() const { return line_; }

  QComboBox* kindBox() const { return kindBox_; }
  ParameterTable* editor() const { return parts_.editor; }
  QPushButton* okButton() const { return parts_.okButton; }
  QPushButton* cancelButton() const { return parts_.cancelButton; }
  // Says why "ОК" cannot be used or was refused; empty otherwise.
  QLabel* statusLabel() const { return parts_.statusLabel; }

 public slots:
  void chooseKind(const QString& text);
  void okClicked();
  void cancelClicked();
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool assembleLine();
  void showStatus(const QString& text);

  QComboBox* kindBox_ = nullptr;
  RecordDialogParts parts_;

  bool confirmed_ = false;
  std::string kindTypeCode_;
  std::string kindDerivCode_;
  std::string line_;
  char version_ = '0';
};

}  // namespace quillmar
