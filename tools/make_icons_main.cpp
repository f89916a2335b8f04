// SPDX-License-Identifier: GPL-3.0-or-later
// quillmar-make-icons DIR SIZE...: writes the program's icon as PNG files of
// an icon theme, DIR/hicolor/NxN/apps/quillmar.png, for the desktop entry,
// and the pictures of its two file types in DIR/hicolor/NxN/mimetypes.

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QString>

#include <cstdlib>
#include <iostream>

#include "widgets/command_icons.h"

namespace {

constexpr int kLargestSize = 1024;

int sizeOf(const char* text) {
  char* end = nullptr;
  const long size = std::strtol(text, &end, 10);
  if (*text == '\0' || *end != '\0' || size < 1 || size > kLargestSize) return 0;
  return static_cast<int>(size);
}

bool writeIcon(const QDir& root, const QString& context, const QString& name, const QPixmap& picture) {
  const QString folder = QStringLiteral("hicolor/%1x%1/%2").arg(picture.width()).arg(context);
  const QString path = root.filePath(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
  if (!root.mkpath(folder) || !picture.save(path, "PNG")) {
    std::cerr << "cannot write " << path.toStdString() << "\n";
    return false;
  }
  return true;
}

bool writeIcons(const QDir& root, int size) {
  const QString types = QStringLiteral("mimetypes");
  return writeIcon(root, QStringLiteral("apps"), QStringLiteral("quillmar"), quillmar::applicationPixmap(size)) &&
         writeIcon(root, types, QStringLiteral("application-x-quillmar-records"), quillmar::recordFilePixmap(size)) &&
         writeIcon(root, types, QStringLiteral("application-x-sdr-field-book"), quillmar::fieldBookPixmap(size));
}

}  // namespace

int main(int argc, char* argv[]) {
  // Runs during the build, where there may be no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc < 3) {
    std::cerr << "usage: quillmar-make-icons DIR SIZE...\n";
    return 2;
  }
  const QDir root(QString::fromLocal8Bit(argv[1]));
  for (int i = 2; i < argc; ++i) {
    const int size = sizeOf(argv[i]);
    if (size == 0) {
      std::cerr << "not an icon size: " << argv[i] << "\n";
      return 2;
    }
    if (!writeIcons(root, size)) return 1;
  }
  return 0;
}
