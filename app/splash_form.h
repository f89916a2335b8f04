// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The splash window shown over the frame at start-up. It stays above the
// frame and below every dialog until the user closes it, with its close box or
// the desktop's close, which only hides it. It has no caption: a frameless
// window that draws its own close box, and that box works even while a modal
// dialog is open. Esc closes it too.

#include <QPixmap>
#include <QWidget>

#include <memory>

class QAction;
class QToolButton;

namespace quillmar {

class TSplashForm final : public QWidget {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TSplashForm)

 public:
  static constexpr int kPictureWidth = 700;
  static constexpr int kPictureHeight = 387;

  explicit TSplashForm(QWidget* frame);
  ~TSplashForm() override;

  // Shows the window modeless, centred on the desktop.
  void showCentred();

  const QPixmap& picture() const { return picture_; }
  QToolButton* closeBox() const { return closeBox_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  class ModalClickFilter;
  void addEscapeKey(QWidget* frame);

  QPixmap picture_;
  QToolButton* closeBox_ = nullptr;
  QAction* escapeKey_ = nullptr;
  std::unique_ptr<ModalClickFilter> modalClickFilter_;
};

// The splash picture, drawn for the program.
QPixmap splashPicture();

}  // namespace quillmar
