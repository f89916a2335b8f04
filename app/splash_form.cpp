#include "app/splash_form.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace quillmar {
namespace {

constexpr Qt::WindowFlags kCloseBoxOnTop = Qt::Window | Qt::WindowStaysOnTopHint |
                                           Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                           Qt::WindowCloseButtonHint;

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

TSplashForm::TSplashForm(QWidget* frame) : QWidget(frame, kCloseBoxOnTop), picture_(splashPicture()) {
  setWindowTitle(QString());
  auto* image = new QLabel(this);
  image->setPixmap(picture_);
  image->setGeometry(0, 0, kPictureWidth, kPictureHeight);
  setFixedSize(kPictureWidth, kPictureHeight);
}

void TSplashForm::showCentred() {
  const QScreen* desktop = screen();
  if (desktop != nullptr) {
    const QRect available = desktop->availableGeometry();
    move(available.center() - QPoint(width() / 2, height() / 2));
  }
  show();
  raise();
}

}  // namespace quillmar
