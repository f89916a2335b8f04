// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/dialog_seam.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

namespace quillmar {
namespace {

const QString kConfirmTitle = QStringLiteral("Confirm");

QString messageTitle() { return QApplication::applicationName(); }

}  // namespace

QStringList qtNameFilters(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& name = parts[i];
    const QString pattern = QStringLiteral("(%1)").arg(parts[i + 1]);
    // "Sokkia SDR files (*.sdr)" already shows its pattern.
    filters << (name.endsWith(pattern) ? name : name + QLatin1Char(' ') + pattern);
  }
  return filters;
}

QString QtDialogSeam::askOpenFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // A typed name that does not exist is let through: opening it reports the failure.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(qtNameFilters(filter));
  dialog.setDefaultSuffix(defaultSuffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

SaveChoice QtDialogSeam::askSaveFileName(QWidget* parent, const SaveRequest& request) {
  QFileDialog dialog(parent);
  if (!request.title.isEmpty()) dialog.setWindowTitle(request.title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
  const QStringList filters = qtNameFilters(request.filter);
  dialog.setNameFilters(filters);
  if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
    dialog.selectNameFilter(filters[request.filterIndex - 1]);
  dialog.setDefaultSuffix(request.defaultSuffix);
  if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const auto index = filters.indexOf(dialog.selectedNameFilter());
  return {dialog.selectedFiles().constFirst(), index < 0 ? 1 : static_cast<int>(index) + 1};
}

bool QtDialogSeam::confirmYesNo(QWidget* parent, const QString& question) {
  return QMessageBox::question(parent, kConfirmTitle, question, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

Answer QtDialogSeam::confirmYesNoCancel(QWidget* parent, const QString& question) {
  const auto button =
      QMessageBox::question(parent, kConfirmTitle, question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  if (button == QMessageBox::Yes) return Answer::Yes;
  if (button == QMessageBox::No) return Answer::No;
  return Answer::Cancel;
}

void QtDialogSeam::showMessage(QWidget* parent, const QString& text) {
  QMessageBox::information(parent, messageTitle(), text);
}

void QtDialogSeam::showError(QWidget* parent, const QString& text) {
  QMessageBox::critical(parent, messageTitle(), text);
}

std::optional<int> QtDialogSeam::askRowNumber(QWidget* parent, int current, int rows) {
  QInputDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("Перейти к строке"));
  dialog.setLabelText(QStringLiteral("Номер строки (1–%1):").arg(rows));
  dialog.setInputMode(QInputDialog::IntInput);
  dialog.setIntRange(1, rows);
  dialog.setIntValue(current);
  dialog.setMinimumWidth(dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()) * 2);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.intValue();
}

}  // namespace quillmar
