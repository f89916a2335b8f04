// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TEditForm ("Редактирование"): shows one record's field rows and, on "Ok",
// assembles a new record line from them. One instance serves every document
// window; the caller reads confirmed() and line() after the modal run.

#include <string>

#include "editing/widgets/record_dialog.h"

class QLabel;

namespace quillmar {

class TEditForm final : public RecordDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TEditForm)

 public:
  explicit TEditForm(QWidget* parent = nullptr);

  // Fills the dialog from the record and runs it modally.
  void Visio(std::string line, std::string typeCode, std::string derivCode, char version);
  // Visio without the modal run.
  void fill(std::string line, std::string typeCode, std::string derivCode, char version);

  QLabel* recordTypeLabel() const { return recordTypeLabel_; }

 public slots:
  void okClicked();

 private:
  QLabel* recordTypeLabel_ = nullptr;
};

}  // namespace quillmar
