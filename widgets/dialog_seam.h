// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Modal questions go through this seam so that tests can answer them by
// script. File filters are written "Name|pattern|Name|pattern"; filter
// indexes count from 1.

#include <QString>

#include <optional>

class QWidget;

namespace quillmar {

struct SaveRequest {
  QString title;  // empty: the toolkit's own title
  QString filter;
  int filterIndex = 1;    // the filter shown first
  QString fileName;       // the name proposed
  QString defaultSuffix;  // added to a name typed without one; empty: nothing
  bool confirmOverwrite = true;
};

struct SaveChoice {
  QString path;  // empty: cancelled
  int filterIndex = 1;
  bool chosen() const { return !path.isEmpty(); }
};

enum class Answer { Yes, No, Cancel };

class DialogSeam {
 public:
  virtual ~DialogSeam() = default;

  // An empty result means the dialog was cancelled.
  virtual QString askOpenFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix) = 0;
  virtual SaveChoice askSaveFileName(QWidget* parent, const SaveRequest& request) = 0;
  // Confirmation boxes titled "Confirm"; dismissing one answers No or Cancel.
  virtual bool confirmYesNo(QWidget* parent, const QString& question) = 0;
  virtual Answer confirmYesNoCancel(QWidget* parent, const QString& question) = 0;
  virtual void showMessage(QWidget* parent, const QString& text) = 0;
  virtual void showError(QWidget* parent, const QString& text) = 0;
  // A row number from 1 to `rows`, proposing `current`; nothing when cancelled.
  virtual std::optional<int> askRowNumber(QWidget* parent, int current, int rows) = 0;
};

// The real dialogs: QFileDialog and QMessageBox.
class QtDialogSeam final : public DialogSeam {
 public:
  QString askOpenFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix) override;
  SaveChoice askSaveFileName(QWidget* parent, const SaveRequest& request) override;
  bool confirmYesNo(QWidget* parent, const QString& question) override;
  Answer confirmYesNoCancel(QWidget* parent, const QString& question) override;
  void showMessage(QWidget* parent, const QString& text) override;
  void showError(QWidget* parent, const QString& text) override;
  std::optional<int> askRowNumber(QWidget* parent, int current, int rows) override;
};

// "Name|pattern|Name|pattern" as QFileDialog name filters ("Name (pattern)").
QStringList qtNameFilters(const QString& filter);

}  // namespace quillmar
