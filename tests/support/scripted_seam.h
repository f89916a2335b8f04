// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Answers the program's dialogs from a script and keeps what was asked.
// A question without a scripted answer fails the test and is cancelled.

#include <QList>

#include <functional>

#include <QString>
#include <QStringList>

#include "widgets/dialog_seam.h"

namespace quillmar::test {

class ScriptedSeam final : public DialogSeam {
 public:
  // Answers, used first to last. An empty open name cancels.
  QStringList openNames;
  QList<SaveChoice> saveChoices;
  QList<bool> yesNoAnswers;
  QList<Answer> yesNoCancelAnswers;
  QList<int> rowNumbers;  // 0 cancels
  // The next open dialog runs out of memory instead of answering.
  bool openRunsOutOfMemory = false;

  // Runs when a file dialog is asked for, as if the user acted meanwhile.
  std::function<void()> whileAskingForAFile;

  // Questions, in the order asked.
  QStringList openFilters;
  QList<SaveRequest> saveRequests;
  QStringList questions;
  QStringList messages;
  QStringList errors;

  void answerSave(const QString& path, int filterIndex = 1) { saveChoices << SaveChoice{path, filterIndex}; }
  void cancelSave() { saveChoices << SaveChoice{}; }
  bool allAnswersUsed() const {
    return openNames.isEmpty() && saveChoices.isEmpty() && yesNoAnswers.isEmpty() && yesNoCancelAnswers.isEmpty() &&
           rowNumbers.isEmpty();
  }

  QString askOpenFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix) override;
  SaveChoice askSaveFileName(QWidget* parent, const SaveRequest& request) override;
  bool confirmYesNo(QWidget* parent, const QString& question) override;
  Answer confirmYesNoCancel(QWidget* parent, const QString& question) override;
  void showMessage(QWidget* parent, const QString& text) override;
  void showError(QWidget* parent, const QString& text) override;
  std::optional<int> askRowNumber(QWidget* parent, int current, int rows) override;
};

}  // namespace quillmar::test
