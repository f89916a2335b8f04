// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/splash_form.h"

#include <QAbstractNativeEventFilter>
#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "widgets/window_placement.h"

namespace quillmar {
namespace {

// A dialog-type child window of the frame: window managers keep it above the
// frame, and dialogs opened later stack above it. It is never on top of everything.
// It takes the focus when clicked, so that the desktop's close (Alt+F4, the
// window menu) is aimed at the splash and not at the frame behind it.
constexpr Qt::WindowFlags kSplashFlags = Qt::Dialog | Qt::FramelessWindowHint;
constexpr int kCloseBoxSize = 24;
constexpr int kCloseBoxMargin = 6;

QIcon closeBoxIcon() {
  QPixmap picture(kCloseBoxSize, kCloseBoxSize);
  picture.fill(Qt::transparent);
  QPainter g(&picture);
  g.setRenderHint(QPainter::Antialiasing);
  g.setPen(Qt::NoPen);
  g.setBrush(QColor(0, 0, 0, 140));
  g.drawEllipse(picture.rect().adjusted(1, 1, -1, -1));
  g.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
  g.drawLine(QPointF(8, 8), QPointF(16, 16));
  g.drawLine(QPointF(16, 8), QPointF(8, 16));
  return QIcon(picture);
}

void drawSky(QPainter& g, const QRectF& area) {
  QLinearGradient sky(area.topLeft(), area.bottomLeft());
  sky.setColorAt(0, QColor(28, 62, 120));
  sky.setColorAt(0.65, QColor(120, 170, 215));
  sky.setColorAt(1, QColor(235, 215, 170));
  g.fillRect(area, sky);
}

void drawHills(QPainter& g) {
  QPainterPath far;
  far.moveTo(0, 250);
  far.cubicTo(120, 190, 230, 230, 330, 215);
  far.cubicTo(450, 195, 560, 240, 700, 205);
  far.lineTo(700, 387);
  far.lineTo(0, 387);
  g.fillPath(far, QColor(90, 120, 110));
  QPainterPath near;
  near.moveTo(0, 300);
  near.cubicTo(180, 265, 380, 300, 700, 270);
  near.lineTo(700, 387);
  near.lineTo(0, 387);
  g.fillPath(near, QColor(70, 125, 60));
}

void drawInstrument(QPainter& g, QPointF head) {
  g.setPen(QPen(QColor(50, 40, 30), 5, Qt::SolidLine, Qt::RoundCap));
  for (const qreal dx : {-55.0, 0.0, 50.0}) g.drawLine(head + QPointF(0, 30), head + QPointF(dx, 140));
  g.setPen(QPen(QColor(40, 40, 40), 2));
  g.setBrush(QColor(240, 200, 40));
  g.drawRoundedRect(QRectF(head.x() - 24, head.y() - 30, 48, 56), 6, 6);
  g.setBrush(QColor(60, 60, 60));
  g.drawRect(QRectF(head.x() - 40, head.y() - 18, 80, 16));
  g.setBrush(QColor(150, 200, 240));
  g.drawEllipse(QPointF(head.x() - 40, head.y() - 10), 5, 8);
}

void drawSightLine(QPainter& g, QPointF from, QPointF to) {
  g.setPen(QPen(QColor(220, 40, 40, 200), 2, Qt::DashLine));
  g.drawLine(from, to);
  g.setPen(QPen(QColor(40, 40, 40), 3));
  g.drawLine(to, to + QPointF(0, 95));
  g.setPen(QPen(QColor(30, 30, 30), 1));
  g.setBrush(QColor(240, 240, 240));
  g.drawEllipse(to, 9, 9);
}

void drawTitle(QPainter& g) {
  QFont title;
  title.setPixelSize(64);
  title.setBold(true);
  g.setFont(title);
  g.setPen(Qt::white);
  g.drawText(QPointF(36, 92), QStringLiteral("Quillmar"));
  QFont subtitle;
  subtitle.setPixelSize(20);
  g.setFont(subtitle);
  g.drawText(QPointF(40, 126), QStringLiteral("Полевые журналы SDR: приём, правка, экспорт"));
}

}  // namespace

QPixmap splashPicture() {
  QPixmap picture(TSplashForm::kPictureWidth, TSplashForm::kPictureHeight);
  QPainter g(&picture);
  g.setRenderHint(QPainter::Antialiasing);
  drawSky(g, picture.rect());
  drawHills(g);
  drawSightLine(g, QPointF(480, 214), QPointF(150, 250));
  drawInstrument(g, QPointF(520, 214));
  drawTitle(g);
  return picture;
}

namespace {

// A click on the splash's own window: where, and whether the button went up.
// The window manager's request to close a window (Alt+F4, the window menu).
bool isCloseRequest(const xcb_generic_event_t& event, xcb_window_t window) {
  if ((event.response_type & ~0x80) != XCB_CLIENT_MESSAGE) return false;
  const auto& message = reinterpret_cast<const xcb_client_message_event_t&>(event);
  if (message.window != window || message.format != 32) return false;
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr) return false;
  static const xcb_atom_t deleteWindow = [x11] {
    constexpr std::string_view kName = "WM_DELETE_WINDOW";
    xcb_connection_t* connection = x11->connection();
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 1, static_cast<uint16_t>(kName.size()), kName.data());
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
  }();
  return deleteWindow != XCB_ATOM_NONE && message.data.data32[0] == deleteWindow;
}

struct SplashClick {
  xcb_window_t window = XCB_NONE;
  QPoint at;
  bool released = false;
};

// X11 delivers the pointer either as core events or, as Qt asks for, as
// XInput2 events inside generic events.
std::optional<SplashClick> clickIn(const xcb_generic_event_t& event) {
  const int kind = event.response_type & ~0x80;
  if (kind == XCB_BUTTON_PRESS || kind == XCB_BUTTON_RELEASE) {
    const auto& click = reinterpret_cast<const xcb_button_press_event_t&>(event);
    return SplashClick{click.event, QPoint(click.event_x, click.event_y), kind == XCB_BUTTON_RELEASE};
  }
  if (kind != XCB_GE_GENERIC) return std::nullopt;
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr) return std::nullopt;
  const xcb_query_extension_reply_t* input = xcb_get_extension_data(x11->connection(), &xcb_input_id);
  const auto& generic = reinterpret_cast<const xcb_ge_generic_event_t&>(event);
  if (input == nullptr || generic.extension != input->major_opcode) return std::nullopt;
  if (generic.event_type != XCB_INPUT_BUTTON_PRESS && generic.event_type != XCB_INPUT_BUTTON_RELEASE)
    return std::nullopt;
  const auto& click = reinterpret_cast<const xcb_input_button_press_event_t&>(event);
  constexpr int kFixedPointShift = 16;
  return SplashClick{click.event, QPoint(click.event_x >> kFixedPointShift, click.event_y >> kFixedPointShift),
                     generic.event_type == XCB_INPUT_BUTTON_RELEASE};
}

}  // namespace

// A modal dialog blocks Qt's input to every other window, the splash too, and
// Qt refuses a blocked window's close. On X11 the splash's own events are looked
// at before that: the desktop's close request or a click on the close box hides
// it, any other click puts the modal dialog back above it.
class TSplashForm::ModalClickFilter final : public QAbstractNativeEventFilter {
 public:
  explicit ModalClickFilter(TSplashForm& splash) : splash_(splash) {}

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t" || !splash_.isVisible()) return false;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return false;
    const auto& event = *static_cast<const xcb_generic_event_t*>(message);
    const auto window = static_cast<xcb_window_t>(splash_.effectiveWinId());
    if (isCloseRequest(event, window)) {
      QMetaObject::invokeMethod(&splash_, &QWidget::hide, Qt::QueuedConnection);
      return true;
    }
    const auto click = clickIn(event);
    if (!click || click->window != window) return false;
    const QPoint at = click->at / splash_.devicePixelRatioF();
    if (click->released && splash_.closeBox_->geometry().contains(at)) {
      QMetaObject::invokeMethod(&splash_, &QWidget::hide, Qt::QueuedConnection);
    } else {
      QMetaObject::invokeMethod(
          modal,
          [modal] {
            modal->raise();
            modal->activateWindow();
          },
          Qt::QueuedConnection);
    }
    return false;
  }

 private:
  TSplashForm& splash_;
};

TSplashForm::TSplashForm(QWidget* frame)
    : QWidget(frame, kSplashFlags),
      picture_(splashPicture()),
      modalClickFilter_(std::make_unique<ModalClickFilter>(*this)) {
  setWindowTitle(QString());
  // Shown over the frame without taking the keyboard from it.
  setAttribute(Qt::WA_ShowWithoutActivating);
  auto* image = new QLabel(this);
  image->setPixmap(picture_);
  image->setGeometry(0, 0, kPictureWidth, kPictureHeight);
  closeBox_ = new QToolButton(this);
  closeBox_->setObjectName(QStringLiteral("splashCloseBox"));
  closeBox_->setAutoRaise(true);
  closeBox_->setIcon(closeBoxIcon());
  closeBox_->setIconSize(QSize(kCloseBoxSize, kCloseBoxSize));
  closeBox_->setToolTip(QStringLiteral("Закрыть"));
  closeBox_->setGeometry(kPictureWidth - kCloseBoxSize - kCloseBoxMargin - 4, kCloseBoxMargin, kCloseBoxSize + 4,
                         kCloseBoxSize + 4);
  connect(closeBox_, &QToolButton::clicked, this, &QWidget::hide);
  addEscapeKey(frame);
  setFixedSize(kPictureWidth, kPictureHeight);
  qApp->installNativeEventFilter(modalClickFilter_.get());
}

TSplashForm::~TSplashForm() { qApp->removeNativeEventFilter(modalClickFilter_.get()); }

// Esc hides it as its close box does: in the splash itself, and in the frame,
// which keeps the keyboard while the splash stands over it. The key is the
// splash's only while it is shown.
void TSplashForm::addEscapeKey(QWidget* frame) {
  escapeKey_ = new QAction(this);
  escapeKey_->setShortcut(Qt::Key_Escape);
  escapeKey_->setEnabled(false);
  connect(escapeKey_, &QAction::triggered, this, &QWidget::hide);
  addAction(escapeKey_);
  if (frame != nullptr) frame->addAction(escapeKey_);
}

void TSplashForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  escapeKey_->setEnabled(true);
}

void TSplashForm::hideEvent(QHideEvent* event) {
  escapeKey_->setEnabled(false);
  QWidget::hideEvent(event);
}

void TSplashForm::showCentred() {
  centreOnScreen(*this);
  show();
  raise();
}

}  // namespace quillmar
