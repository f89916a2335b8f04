#pragma once
// TEditForm ("Редактирование"): shows one record's field rows and, on "Ok",
// assembles a new record line from them. One instance serves every document
// window; the caller reads confirmed() and line() after the modal run.

#include <QDialog>

#include <string>

#include "editing/widgets/dialog_support.h"

class QLabel;
class QPushButton;

namespace quillmar {

class ParameterTable;

class TEditForm final : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TEditForm)

 public:
  explicit TEditForm(QWidget* parent = nullptr);

  // Fills the dialog from the record and runs it modally.
  void Visio(std::string line, std::string typeCode, std::string derivCode, char version);
  // Visio without the modal run.
  void fill(std::string line, std::string typeCode, std::string derivCode, char version);

  bool confirmed() const { return confirmed_; }
  // Windows-1251 bytes: the record's line as given, or the one "Ok" assembled.
  const std::string& line() const { return line_; }

  QLabel* recordTypeLabel() const { return recordTypeLabel_; }
  ParameterTable* editor() const { return parts_.editor; }
  QPushButton* okButton() const { return parts_.okButton; }
  QPushButton* cancelButton() const { return parts_.cancelButton; }
  // Says why "Ok" was refused; empty otherwise.
  QLabel* statusLabel() const { return parts_.statusLabel; }

 public slots:
  void okClicked();
  void cancelClicked();
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool assembleLine();

  QLabel* recordTypeLabel_ = nullptr;
  RecordDialogParts parts_;

  bool confirmed_ = false;
  std::string line_;
  std::string typeCode_;
  std::string derivCode_;
  char version_ = '0';
};

}  // namespace quillmar
