// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TAddForm ("Добавление"): builds a new record line of a chosen kind from
// typed values. One instance serves every document window and keeps its kind
// box, rows and values from one use to the next.

#include <string>

#include "editing/widgets/record_dialog.h"

class QComboBox;

namespace quillmar {

class TAddForm final : public RecordDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TAddForm)

 public:
  explicit TAddForm(QWidget* parent = nullptr);

  // The selected row's SDR layout, in which "ОК" assembles the line.
  void setVersion(char version);
  char version() const { return version_; }
  void clearConfirmed() { confirmed_ = false; }

  const std::string& kindTypeCode() const { return typeCode_; }
  const std::string& kindDerivCode() const { return derivCode_; }

  QComboBox* kindBox() const { return kindBox_; }

 public slots:
  void chooseKind(const QString& text);
  void okClicked();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QComboBox* kindBox_ = nullptr;
};

}  // namespace quillmar
