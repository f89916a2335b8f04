// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/intern_form.h"

#include <QDir>
#include <QKeyEvent>
#include <QPoint>
#include <QSize>
#include <QTextBrowser>
#include <QUrl>

#include "widgets/window_placement.h"

namespace quillmar {
namespace {

constexpr QPoint kBrowserPosition(8, 16);
// Taken from the window's outer size, borders and caption included.
constexpr QSize kBrowserMargins(20, 50);

// A page that cannot be loaded says so instead of staying blank.
class HelpBrowser final : public QTextBrowser {
 public:
  using QTextBrowser::QTextBrowser;

  QVariant loadResource(int type, const QUrl& name) override {
    QVariant resource = QTextBrowser::loadResource(type, name);
    if (resource.isValid() || type != QTextDocument::HtmlResource) return resource;
    return QStringLiteral("<html><body><h3>Страница не найдена</h3><p>%1</p></body></html>")
        .arg(name.toLocalFile().toHtmlEscaped());
  }
};

}  // namespace

TInternForm::TInternForm(QWidget* frame) : QWidget(frame, Qt::Window) {
  setWindowTitle(QStringLiteral("Справка"));
  WebBrowser1_ = new HelpBrowser(this);
  WebBrowser1_->setObjectName(QStringLiteral("WebBrowser1"));
  WebBrowser1_->move(kBrowserPosition);
  resize(696, 480);
  layoutBrowser();
}

void TInternForm::ShowManual() {
  const QUrl page = QUrl::fromLocalFile(QDir::current().absoluteFilePath(QStringLiteral("help.htm")));
  // The same page again is read anew: the file may have changed since.
  if (WebBrowser1_->source() == page)
    WebBrowser1_->reload();
  else
    WebBrowser1_->setSource(page);
  if (!shownBefore_) centreOnParentWindow(*this);
  shownBefore_ = true;
  show();
  raise();
  activateWindow();
}

// Esc closes the window as its close box does; the browser leaves the key to it.
void TInternForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TInternForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layoutBrowser();
}

void TInternForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  layoutBrowser();
}

void TInternForm::layoutBrowser() { WebBrowser1_->resize(frameGeometry().size() - kBrowserMargins); }

}  // namespace quillmar
