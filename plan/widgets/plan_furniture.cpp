// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/widgets/plan_furniture.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>

#include <cmath>

namespace quillmar::plan {
namespace {

constexpr double kWidthShare = 0.2;
constexpr double kMargin = 12;
constexpr double kBarHeight = 5;
constexpr double kArrowLength = 26;
constexpr double kArrowHalfWidth = 7;
const QColor kInk(40, 40, 40);
const QColor kPanel(255, 255, 255, 170);

QFont furnitureFont() {
  QFont font;
  font.setPixelSize(11);
  return font;
}

// Whole units without decimals, shorter lengths with as many as they need.
QString lengthText(double length) {
  const int decimals = length >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(length) - 1e-9));
  return QString::number(length, 'f', decimals);
}

void paintScaleBar(QPainter& painter, const ViewTransform& view) {
  const ScaleBar bar = scaleBarFor(view);
  if (bar.pixels < 1) return;
  const QFontMetricsF metrics(painter.font());
  const QString label = lengthText(bar.groundLength);
  const double right = view.width() - kMargin - metrics.horizontalAdvance(label) / 2;  // the label fits at the end
  const double left = right - bar.pixels;
  const double top = view.height() - kMargin - kBarHeight;
  const double textBase = top - 3;
  // A pale panel keeps the bar readable over grid labels and points.
  const double labelHalf = metrics.horizontalAdvance(label) / 2;
  painter.setPen(Qt::NoPen);
  painter.setBrush(kPanel);
  painter.drawRect(QRectF(QPointF(left - labelHalf - 4, textBase - metrics.ascent() - 3),
                          QPointF(right + labelHalf + 4, top + kBarHeight + 4)));
  // Two halves, dark and light, so that the half length can be read too.
  painter.setPen(QPen(kInk, 1));
  painter.setBrush(kInk);
  painter.drawRect(QRectF(left, top, bar.pixels / 2, kBarHeight));
  painter.setBrush(Qt::white);
  painter.drawRect(QRectF(left + bar.pixels / 2, top, bar.pixels / 2, kBarHeight));
  painter.drawText(QPointF(left - metrics.horizontalAdvance(QStringLiteral("0")) / 2, textBase), QStringLiteral("0"));
  painter.drawText(QPointF(right - metrics.horizontalAdvance(label) / 2, textBase), label);
}

void paintNorthArrow(QPainter& painter, const ViewTransform& view) {
  const QFontMetricsF metrics(painter.font());
  const double x = view.width() - kMargin - kArrowHalfWidth;
  const double letterBase = kMargin + metrics.ascent();
  const double tip = letterBase + 4;
  const double base = tip + kArrowLength;
  painter.setPen(kInk);
  painter.drawText(QPointF(x - metrics.horizontalAdvance(QStringLiteral("N")) / 2, letterBase), QStringLiteral("N"));
  // The west half dark, the east half light: the arrow reads on any background.
  painter.setPen(QPen(kInk, 1));
  painter.setBrush(kInk);
  painter.drawPolygon(QPolygonF({QPointF(x, tip), QPointF(x, base - 6), QPointF(x - kArrowHalfWidth, base)}));
  painter.setBrush(Qt::white);
  painter.drawPolygon(QPolygonF({QPointF(x, tip), QPointF(x + kArrowHalfWidth, base), QPointF(x, base - 6)}));
}

}  // namespace

ScaleBar scaleBarFor(const ViewTransform& view) {
  const double rough = view.width() * kWidthShare / view.scale();
  if (!(rough > 0) || !std::isfinite(rough)) return {};
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  double length = power;
  for (const double m : {2.0, 5.0})
    if (m * power <= rough) length = m * power;
  return {length, length * view.scale()};
}

void paintNorthArrowAndScaleBar(QPainter& painter, const ViewTransform& view) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setFont(furnitureFont());
  paintNorthArrow(painter, view);
  paintScaleBar(painter, view);
  painter.restore();
}

}  // namespace quillmar::plan
