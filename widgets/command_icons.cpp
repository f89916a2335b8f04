// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/command_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>
#include <cmath>

namespace quillmar {
namespace {

// Every picture is drawn on a 16 by 16 grid and scaled to the size asked for.
using Drawing = void (*)(QPainter&);

const QColor kOutline(60, 60, 70);
const QColor kPaper(250, 250, 245);
const QColor kFolder(232, 184, 60);
const QColor kDisk(50, 90, 170);
const QColor kGreen(40, 150, 60);
const QColor kBlue(40, 110, 200);
const QColor kRed(200, 40, 40);
const QColor kInstrument(240, 200, 40);

void page(QPainter& g, qreal left = 3, qreal right = 13) {
  QPainterPath sheet;
  sheet.moveTo(left, 1.5);
  sheet.lineTo(right - 3.5, 1.5);
  sheet.lineTo(right, 5);
  sheet.lineTo(right, 14.5);
  sheet.lineTo(left, 14.5);
  sheet.closeSubpath();
  g.setPen(QPen(kOutline, 1));
  g.setBrush(kPaper);
  g.drawPath(sheet);
  g.drawPolyline(QPolygonF({QPointF(right - 3.5, 1.5), QPointF(right - 3.5, 5), QPointF(right, 5)}));
}

void arrow(QPainter& g, QPointF from, QPointF to, const QColor& color) {
  g.setPen(QPen(color, 2, Qt::SolidLine, Qt::RoundCap));
  g.drawLine(from, to);
  const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
  const QPointF n(-d.y(), d.x());
  g.setPen(Qt::NoPen);
  g.setBrush(color);
  g.drawPolygon(QPolygonF({to + d * 1.5, to - d * 2.5 + n * 3, to - d * 2.5 - n * 3}));
}

void floppy(QPainter& g) {
  g.setPen(QPen(kOutline, 1));
  g.setBrush(kDisk);
  g.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
  g.setBrush(kPaper);
  g.drawRect(QRectF(4, 1.5, 8, 5));
  g.setBrush(QColor(190, 190, 200));
  g.drawRect(QRectF(4.5, 9.5, 7, 5));
}

void tripod(QPainter& g, qreal x) {
  g.setPen(QPen(kOutline, 1.2));
  g.drawLine(QPointF(x, 7), QPointF(x - 3, 14.5));
  g.drawLine(QPointF(x, 7), QPointF(x, 14.5));
  g.drawLine(QPointF(x, 7), QPointF(x + 3, 14.5));
  g.setPen(QPen(kOutline, 1));
  g.setBrush(kInstrument);
  g.drawRect(QRectF(x - 2.5, 2, 5, 5));
}

void drawNew(QPainter& g) { page(g); }

void drawOpen(QPainter& g) {
  g.setPen(QPen(kOutline, 1));
  g.setBrush(kFolder.darker(115));
  g.drawPolygon(QPolygonF({{1.5, 3.5}, {6, 3.5}, {7.5, 5}, {13.5, 5}, {13.5, 13.5}, {1.5, 13.5}}));
  g.setBrush(kFolder);
  g.drawPolygon(QPolygonF({{1.5, 13.5}, {4, 7.5}, {15, 7.5}, {13.5, 13.5}}));
}

void drawSave(QPainter& g) { floppy(g); }

void drawSaveAs(QPainter& g) {
  floppy(g);
  g.setPen(QPen(QColor(200, 120, 30), 2.5, Qt::SolidLine, Qt::FlatCap));
  g.drawLine(QPointF(15, 6), QPointF(8.5, 12.5));
  g.setPen(QPen(kOutline, 1.5));
  g.drawLine(QPointF(8.5, 12.5), QPointF(7.5, 13.5));
}

void drawImport(QPainter& g) {
  page(g, 6, 15);
  arrow(g, QPointF(0.5, 9), QPointF(8, 9), kGreen);
}

void drawExport(QPainter& g) {
  page(g, 1, 10);
  arrow(g, QPointF(6, 9), QPointF(13.5, 9), kBlue);
}

void drawExit(QPainter& g) {
  g.setPen(QPen(kOutline, 1));
  g.setBrush(QColor(150, 100, 60));
  g.drawRect(QRectF(1.5, 1.5, 8, 13));
  g.setBrush(kPaper);
  g.drawEllipse(QPointF(7.5, 8.5), 0.8, 0.8);
  arrow(g, QPointF(7, 8), QPointF(13.5, 8), kRed);
}

void drawReceive(QPainter& g) {
  tripod(g, 5);
  arrow(g, QPointF(12.5, 1.5), QPointF(12.5, 11.5), kGreen);
}

void drawUpload(QPainter& g) {
  tripod(g, 5);
  arrow(g, QPointF(12.5, 14.5), QPointF(12.5, 4.5), QColor(220, 120, 20));
}

void drawHelp(QPainter& g) {
  g.setPen(QPen(kBlue.darker(130), 1));
  g.setBrush(kBlue);
  g.drawEllipse(QRectF(1, 1, 14, 14));
  QFont font;
  font.setPixelSize(11);
  font.setBold(true);
  g.setFont(font);
  g.setPen(Qt::white);
  g.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
}

void drawEdit(QPainter& g) {
  g.setPen(QPen(QColor(200, 120, 30), 3, Qt::SolidLine, Qt::FlatCap));
  g.drawLine(QPointF(13.5, 2.5), QPointF(4.5, 11.5));
  g.setPen(QPen(QColor(230, 140, 160), 3, Qt::SolidLine, Qt::FlatCap));
  g.drawLine(QPointF(15, 1), QPointF(13.5, 2.5));
  g.setPen(Qt::NoPen);
  g.setBrush(kOutline);
  g.drawPolygon(QPolygonF({{3.4, 10.4}, {5.6, 12.6}, {1.5, 14.5}}));
}

void drawDelete(QPainter& g) {
  g.setPen(QPen(kRed, 3, Qt::SolidLine, Qt::RoundCap));
  g.drawLine(QPointF(3, 3), QPointF(13, 13));
  g.drawLine(QPointF(13, 3), QPointF(3, 13));
}

void drawAdd(QPainter& g) {
  g.setPen(QPen(kGreen, 3.5, Qt::SolidLine, Qt::RoundCap));
  g.drawLine(QPointF(8, 2.5), QPointF(8, 13.5));
  g.drawLine(QPointF(2.5, 8), QPointF(13.5, 8));
}

void drawApplication(QPainter& g) {
  tripod(g, 8);
  g.setPen(QPen(kRed, 1));
  g.drawLine(QPointF(10.5, 4.5), QPointF(15.5, 4.5));
}

// A page of rows: the record file (*.qdl).
void drawRecordFile(QPainter& g) {
  page(g, 2, 14);
  g.setPen(QPen(kBlue, 1));
  for (const qreal y : {6.5, 8.5, 10.5, 12.5}) g.drawLine(QPointF(4, y), QPointF(12, y));
  g.setPen(QPen(kRed, 1));
  g.drawLine(QPointF(4, 4.5), QPointF(8.5, 4.5));
}

// A page under the instrument: the field book as the instrument writes it (*.sdr).
void drawFieldBook(QPainter& g) {
  page(g, 2, 14);
  g.setPen(QPen(kOutline, 0.8));
  for (const qreal y : {4.5, 6.5}) g.drawLine(QPointF(4, y), QPointF(9, y));
  g.save();
  g.translate(7, 6);
  g.scale(0.55, 0.55);
  tripod(g, 8);
  g.restore();
}

constexpr std::array<Drawing, kDocumentIconCount> kDrawings{drawNew,    drawOpen,   drawSave,    drawSaveAs, drawImport,
                                                            drawExport, drawExit,   drawReceive, drawUpload, drawHelp,
                                                            drawEdit,   drawDelete, drawAdd};

QPixmap render(Drawing drawing, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 16.0, size / 16.0);
  drawing(painter);
  return pixmap;
}

QIcon iconOf(Drawing drawing) {
  QIcon icon;
  for (const int size : {16, 24, 32, 48}) icon.addPixmap(render(drawing, size));
  return icon;
}

QList<QIcon> firstIcons(int count) {
  QList<QIcon> icons;
  for (int number = 0; number < count; ++number) icons << commandIcon(number);
  return icons;
}

}  // namespace

QIcon commandIcon(int number) {
  if (number < 0 || number >= kDocumentIconCount) return {};
  return iconOf(kDrawings[static_cast<std::size_t>(number)]);
}

QList<QIcon> frameIcons() { return firstIcons(kFrameIconCount); }

QList<QIcon> documentIcons() { return firstIcons(kDocumentIconCount); }

QIcon applicationIcon() {
  QIcon icon = iconOf(drawApplication);
  // Task bars and switchers show it larger than any command picture.
  for (const int size : {64, 128, 256}) icon.addPixmap(render(drawApplication, size));
  return icon;
}

QPixmap applicationPixmap(int size) { return render(drawApplication, size); }

QPixmap recordFilePixmap(int size) { return render(drawRecordFile, size); }

QPixmap fieldBookPixmap(int size) { return render(drawFieldBook, size); }

}  // namespace quillmar
