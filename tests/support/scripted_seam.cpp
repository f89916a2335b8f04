// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/scripted_seam.h"

#include <gtest/gtest.h>

#include <new>

namespace quillmar::test {

QString ScriptedSeam::askOpenFileName(QWidget*, const QString& filter, const QString&) {
  openFilters << filter;
  if (whileAskingForAFile) whileAskingForAFile();
  if (openRunsOutOfMemory) {
    openRunsOutOfMemory = false;
    throw std::bad_alloc();
  }
  if (openNames.isEmpty()) {
    ADD_FAILURE() << "unexpected open dialog: " << filter.toStdString();
    return {};
  }
  return openNames.takeFirst();
}

SaveChoice ScriptedSeam::askSaveFileName(QWidget*, const SaveRequest& request) {
  saveRequests << request;
  if (whileAskingForAFile) whileAskingForAFile();
  if (saveChoices.isEmpty()) {
    ADD_FAILURE() << "unexpected save dialog: " << request.filter.toStdString();
    return {};
  }
  return saveChoices.takeFirst();
}

bool ScriptedSeam::confirmYesNo(QWidget*, const QString& question) {
  questions << question;
  if (yesNoAnswers.isEmpty()) {
    ADD_FAILURE() << "unexpected question: " << question.toStdString();
    return false;
  }
  return yesNoAnswers.takeFirst();
}

Answer ScriptedSeam::confirmYesNoCancel(QWidget*, const QString& question) {
  questions << question;
  if (yesNoCancelAnswers.isEmpty()) {
    ADD_FAILURE() << "unexpected question: " << question.toStdString();
    return Answer::Cancel;
  }
  return yesNoCancelAnswers.takeFirst();
}

void ScriptedSeam::showMessage(QWidget*, const QString& text) { messages << text; }

void ScriptedSeam::showError(QWidget*, const QString& text) { errors << text; }

std::optional<int> ScriptedSeam::askRowNumber(QWidget*, int, int rows) {
  questions << QStringLiteral("row of %1").arg(rows);
  if (rowNumbers.isEmpty()) {
    ADD_FAILURE() << "unexpected row question";
    return std::nullopt;
  }
  const int row = rowNumbers.takeFirst();
  if (row == 0) return std::nullopt;
  return row;
}

}  // namespace quillmar::test
