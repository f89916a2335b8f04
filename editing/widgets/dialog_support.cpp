#include "editing/widgets/dialog_support.h"

#include <QRect>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QWidget>

namespace quillmar {
namespace {
constexpr const char* kEncoding = "windows-1251";
}

QString fromWindows1251(std::string_view bytes) {
  QStringDecoder decoder(kEncoding);
  return decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::optional<std::string> toWindows1251(const QString& text) {
  QStringEncoder encoder(kEncoding);
  const QByteArray bytes = encoder(text);
  std::string result(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  // Decoding back catches whatever the encoder replaced instead of failing.
  if (encoder.hasError() || fromWindows1251(result) != text) return std::nullopt;
  return result;
}

QString unencodableValueMessage(const QString& label) {
  return QStringLiteral("Значение «%1» содержит знаки, которых нет в кодировке Windows-1251. "
                        "Исправьте его.")
      .arg(label);
}

void centreOnParentWindow(QWidget& dialog) {
  const QWidget* parent = dialog.parentWidget();
  if (parent == nullptr) return;
  const QRect host = parent->window()->frameGeometry();
  const QRect own = dialog.frameGeometry();
  dialog.move(host.center() - QPoint(own.width() / 2, own.height() / 2));
}

}  // namespace quillmar
