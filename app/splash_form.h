#pragma once
// The splash window shown over the frame at start-up. It stays on top until
// the user closes it with its close box, which only hides it.

#include <QPixmap>
#include <QWidget>

namespace quillmar {

class TSplashForm final : public QWidget {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TSplashForm)

 public:
  static constexpr int kPictureWidth = 700;
  static constexpr int kPictureHeight = 387;

  explicit TSplashForm(QWidget* frame);

  // Shows the window modeless, centred on the desktop.
  void showCentred();

  const QPixmap& picture() const { return picture_; }

 private:
  QPixmap picture_;
};

// The splash picture, drawn for the program.
QPixmap splashPicture();

}  // namespace quillmar
