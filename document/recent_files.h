// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The files opened, imported or saved lately, newest first, kept in the
// user's configuration folder so that later starts offer them too. Every
// "Файл" menu shows them in a submenu; choosing one is reported through
// fileChosen, and the frame opens it.

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QAction;
class QMenu;
class QSettings;

namespace quillmar {

class RecentFiles final : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(RecentFiles)

 public:
  static constexpr int kLimit = 10;

  // `settings` holds the list; several running programs share it.
  explicit RecentFiles(std::unique_ptr<QSettings> settings, QObject* parent = nullptr);
  ~RecentFiles() override;

  // $XDG_CONFIG_HOME/quillmar/quillmar.conf (~/.config when unset).
  static std::unique_ptr<QSettings> userSettings();

  QStringList files() const;
  // Moves `path`, made absolute, to the top of the list.
  void add(const QString& path);
  // The submenu goes into `fileMenu` above `before`, followed by a separator;
  // it is filled afresh each time `fileMenu` opens.
  QMenu* addMenuTo(QMenu& fileMenu, QAction* before);

  // The coordinate system last given for a CAD/GIS export of a document
  // file (empty when none), kept in the same settings file.
  QString exportCrs(const QString& documentPath) const;
  void rememberExportCrs(const QString& documentPath, const QString& crs);

 signals:
  void fileChosen(const QString& path);

 private:
  void fill(QMenu& submenu);

  std::unique_ptr<QSettings> settings_;
};

}  // namespace quillmar
