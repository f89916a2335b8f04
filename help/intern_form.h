// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help window: one for the whole program, showing help.htm of the
// current directory. It is shown modeless and reused by every help command;
// Esc closes it.

#include <QWidget>

class QTextBrowser;

namespace quillmar {

class TInternForm final : public QWidget {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TInternForm)

 public:
  // `frame`: the frame window, which the help window is centred on when first shown.
  explicit TInternForm(QWidget* frame);

  // "Руководство пользователя": navigates to help.htm again and brings the window to the front.
  void ShowManual();

  QTextBrowser& WebBrowser1() { return *WebBrowser1_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void layoutBrowser();

  QTextBrowser* WebBrowser1_ = nullptr;
  bool shownBefore_ = false;
};

}  // namespace quillmar
