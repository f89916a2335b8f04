// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/recent_files.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

#include <utility>

#include "widgets/user_settings.h"

namespace quillmar {
namespace {

const QString kKey = QStringLiteral("recentFiles");
const QString kCrsGroup = QStringLiteral("exportCrs/");

// A path as one key: its slashes would make groups of it.
QString crsKey(const QString& documentPath) {
  const QString absolute = QDir::cleanPath(QFileInfo(documentPath).absoluteFilePath());
  return kCrsGroup + QString::fromLatin1(absolute.toUtf8().toPercentEncoding());
}

}  // namespace

RecentFiles::RecentFiles(std::unique_ptr<QSettings> settings, QObject* parent)
    : QObject(parent), settings_(std::move(settings)) {}

RecentFiles::~RecentFiles() = default;

std::unique_ptr<QSettings> RecentFiles::userSettings() { return quillmar::userSettings(); }

QStringList RecentFiles::files() const {
  settings_->sync();  // another running program may have added one
  return settings_->value(kKey).toStringList().mid(0, kLimit);
}

void RecentFiles::add(const QString& path) {
  const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
  QStringList list = files();
  list.removeAll(absolute);
  list.prepend(absolute);
  settings_->setValue(kKey, list.mid(0, kLimit));
  settings_->sync();
}

QString RecentFiles::exportCrs(const QString& documentPath) const {
  settings_->sync();
  return settings_->value(crsKey(documentPath)).toString();
}

void RecentFiles::rememberExportCrs(const QString& documentPath, const QString& crs) {
  if (crs.isEmpty())
    settings_->remove(crsKey(documentPath));
  else
    settings_->setValue(crsKey(documentPath), crs);
  settings_->sync();
}

QMenu* RecentFiles::addMenuTo(QMenu& fileMenu, QAction* before) {
  auto* submenu = new QMenu(QStringLiteral("Последние файлы"), &fileMenu);
  fileMenu.insertMenu(before, submenu);
  fileMenu.insertSeparator(before);
  connect(&fileMenu, &QMenu::aboutToShow, submenu, [this, submenu] { fill(*submenu); });
  fill(*submenu);
  return submenu;
}

void RecentFiles::fill(QMenu& submenu) {
  submenu.clear();
  const QStringList list = files();
  for (int i = 0; i < list.size(); ++i) {
    const QString& path = list.at(i);
    // "&1" .. "&9", then "1&0": a digit picks the file from the keyboard.
    const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QStringLiteral("1&0");
    QString label = path;
    label.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* action = submenu.addAction(number + QLatin1Char(' ') + label);
    connect(action, &QAction::triggered, this, [this, path] { emit fileChosen(path); });
  }
  submenu.menuAction()->setEnabled(!list.isEmpty());
}

}  // namespace quillmar
