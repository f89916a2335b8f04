// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/control_pictures.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QPainter>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolTip>

#include <array>

namespace quillmar {
namespace {

constexpr char16_t kFirstPicture = 0x2400;   // ␀
constexpr char16_t kLastPicture = 0x241F;    // ␟
constexpr char16_t kDeletePicture = 0x2421;  // ␡
constexpr char16_t kFirstUnassigned = 0xE000;
constexpr char16_t kLastUnassigned = 0xE0FF;
constexpr int kBoxPadding = 2;

constexpr std::array<const char*, 32> kControlNames{
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT", "LF",  "VT",  "FF", "CR", "SO", "SI",
    "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB", "CAN", "EM", "SUB", "ESC", "FS", "GS", "RS", "US"};

QFont boxFont(const QFont& font) {
  QFont small = font;
  const int height = QFontMetrics(font).height();
  small.setPixelSize(std::max(7, height * 3 / 5));
  small.setBold(false);
  return small;
}

int boxWidth(const QFont& font, QChar c) {
  return QFontMetrics(boxFont(font)).horizontalAdvance(controlPictureName(c)) + 2 * kBoxPadding + 1;
}

// The box of one picture: filled with `fill`, its name in `letters`, one
// pixel of air to the right.
void drawBox(QPainter& painter, const QRect& cell, QChar c, const QColor& fill, const QColor& letters) {
  const QRect box = cell.adjusted(0, 1, -1, -1);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillRect(box, fill);
  painter.setFont(boxFont(painter.font()));
  painter.setPen(letters);
  painter.drawText(box, Qt::AlignCenter, controlPictureName(c));
  painter.restore();
}

// The room a picture's box needs beyond the picture's own glyph.
QTextCharFormat roomFor(const QFont& font, QChar c) {
  QTextCharFormat room;
  room.setFontLetterSpacingType(QFont::AbsoluteSpacing);
  room.setFontLetterSpacing(boxWidth(font, c) - QFontMetrics(font).horizontalAdvance(c));
  return room;
}

QList<QTextLayout::FormatRange> roomsIn(const QFont& font, const QString& text) {
  QList<QTextLayout::FormatRange> rooms;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (isControlPicture(text.at(i))) rooms.append({static_cast<int>(i), 1, roomFor(font, text.at(i))});
  }
  return rooms;
}

// Each picture of a block gets the room of its box as letter spacing.
class PictureRoom final : public QSyntaxHighlighter {
 public:
  using QSyntaxHighlighter::QSyntaxHighlighter;

 protected:
  void highlightBlock(const QString& text) override {
    for (const QTextLayout::FormatRange& room : roomsIn(document()->defaultFont(), text))
      setFormat(room.start, room.length, room.format);
  }
};

}  // namespace

bool isControlPicture(QChar c) {
  const char16_t unit = c.unicode();
  return (unit >= kFirstPicture && unit <= kLastPicture) || unit == kDeletePicture ||
         (unit >= kFirstUnassigned && unit <= kLastUnassigned);
}

QString controlPictureName(QChar c) {
  const char16_t unit = c.unicode();
  if (unit >= kFirstPicture && unit <= kLastPicture) return QString::fromLatin1(kControlNames[unit - kFirstPicture]);
  if (unit == kDeletePicture) return QStringLiteral("DEL");
  if (unit >= kFirstUnassigned && unit <= kLastUnassigned)
    return QStringLiteral("%1").arg(unit - kFirstUnassigned, 2, 16, QLatin1Char('0')).toUpper();
  return QString(c);
}

QString spelledOutControls(QStringView text) {
  QString spelled;
  for (const QChar c : text) {
    if (isControlPicture(c))
      spelled += QLatin1Char('<') + controlPictureName(c) + QLatin1Char('>');
    else
      spelled += c;
  }
  return spelled;
}

int boxedTextWidth(const QFont& font, QStringView text) {
  const QFontMetrics metrics(font);
  int width = 0;
  qsizetype runStart = 0;
  for (qsizetype i = 0; i <= text.size(); ++i) {
    if (i < text.size() && !isControlPicture(text.at(i))) continue;
    width += metrics.horizontalAdvance(text.mid(runStart, i - runStart).toString());
    if (i < text.size()) width += boxWidth(font, text.at(i));
    runStart = i + 1;
  }
  return width;
}

void drawBoxedText(QPainter& painter, int left, int baseline, QStringView text, const QColor& background) {
  const QFont font = painter.font();
  const QFontMetrics metrics(font);
  const QColor ink = painter.pen().color();
  int x = left;
  qsizetype runStart = 0;
  for (qsizetype i = 0; i <= text.size(); ++i) {
    if (i < text.size() && !isControlPicture(text.at(i))) continue;
    const QString run = text.mid(runStart, i - runStart).toString();
    painter.drawText(QPoint(x, baseline), run);
    x += metrics.horizontalAdvance(run);
    if (i < text.size()) {
      const int width = boxWidth(font, text.at(i));
      drawBox(painter, QRect(x, baseline - metrics.ascent(), width, metrics.height()), text.at(i), ink, background);
      x += width;
    }
    runStart = i + 1;
  }
}

void ControlPictureDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
  QStyleOptionViewItem item = option;
  initStyleOption(&item, index);
  const QString text = item.text;
  item.text.clear();
  const QWidget* widget = item.widget;
  const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

  const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
  const bool selected = item.state.testFlag(QStyle::State_Selected);
  const QPalette::ColorGroup group = item.state.testFlag(QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
  const QFontMetrics metrics(item.font);
  painter->save();
  painter->setClipRect(area);
  painter->setFont(item.font);
  painter->setPen(item.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
  const int baseline = area.top() + (area.height() - metrics.height()) / 2 + metrics.ascent();
  drawBoxedText(*painter, area.left() + margin, baseline, text,
                item.palette.color(group, selected ? QPalette::Highlight : QPalette::Base));
  painter->restore();
}

QSize ControlPictureDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem item = option;
  initStyleOption(&item, index);
  const QString text = item.text;
  item.text.clear();
  QSize size = QStyledItemDelegate::sizeHint(item, index);
  const QWidget* widget = item.widget;
  const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
  size.setWidth(size.width() + boxedTextWidth(item.font, text) + 2 * margin);
  size.setHeight(std::max(size.height(), QFontMetrics(item.font).height() + 2));
  return size;
}

bool ControlPictureDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) {
  if (event == nullptr || view == nullptr || event->type() != QEvent::ToolTip)
    return QStyledItemDelegate::helpEvent(event, view, option, index);
  const QRect shown = option.rect.intersected(view->viewport()->rect());
  const int wanted = sizeHint(option, index).width();
  if (option.rect.left() >= 0 && option.rect.left() + wanted <= shown.right()) {
    QToolTip::hideText();
    return true;
  }
  // One line with its spaces kept, as the row shows it.
  const QString whole = spelledOutControls(index.data(Qt::DisplayRole).toString()).toHtmlEscaped();
  QToolTip::showText(event->globalPos(), QStringLiteral("<p style='white-space:pre'>%1</p>").arg(whole),
                     view->viewport(), shown);
  return true;
}

ControlPictureEdit::ControlPictureEdit(QWidget* parent) : QPlainTextEdit(parent) { new PictureRoom(document()); }

void ControlPictureEdit::paintEvent(QPaintEvent* event) {
  QPlainTextEdit::paintEvent(event);
  QPainter painter(viewport());
  painter.setFont(document()->defaultFont());
  const QColor ink = palette().color(QPalette::Text);
  const QColor paper = palette().color(QPalette::Base);
  const QPointF offset = contentOffset();
  for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
    if (blockBoundingGeometry(block).translated(offset).top() > viewport()->height()) break;
    const QString text = block.text();
    for (qsizetype i = 0; i < text.size(); ++i) {
      if (!isControlPicture(text.at(i))) continue;
      QTextCursor cursor(block);
      cursor.setPosition(block.position() + static_cast<int>(i));
      const QRect at = cursorRect(cursor);
      drawBox(painter, QRect(at.left(), at.top(), boxWidth(painter.font(), text.at(i)), at.height()), text.at(i), ink,
              paper);
    }
  }
}

ControlPictureLineEdit::ControlPictureLineEdit(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textChanged, this, &ControlPictureLineEdit::makeRoomForBoxes);
}

// A line edit takes formats for its text only as input-method attributes,
// which count from the cursor.
void ControlPictureLineEdit::makeRoomForBoxes() {
  QList<QInputMethodEvent::Attribute> attributes;
  for (const QTextLayout::FormatRange& room : roomsIn(font(), text())) {
    attributes.append({QInputMethodEvent::TextFormat, room.start - cursorPosition(), room.length, room.format});
  }
  QInputMethodEvent formats(QString(), attributes);
  QCoreApplication::sendEvent(this, &formats);
}

void ControlPictureLineEdit::paintEvent(QPaintEvent* event) {
  QLineEdit::paintEvent(event);
  const QString shown = displayText();
  const QList<QTextLayout::FormatRange> rooms = roomsIn(font(), shown);
  if (rooms.isEmpty()) return;
  // The same layout as the edit's own; the cursor tells where it starts.
  QTextLayout layout(shown, font());
  layout.setFormats(rooms);
  layout.beginLayout();
  const QTextLine line = layout.createLine();
  layout.endLayout();
  // The cursor rectangle stands five pixels either side of the cursor line.
  const int left = cursorRect().left() + 5 - qRound(line.cursorToX(cursorPosition()));
  QPainter painter(this);
  painter.setClipRect(contentsRect());
  const QFontMetrics metrics(font());
  const int top = contentsRect().center().y() - metrics.height() / 2;
  for (const QTextLayout::FormatRange& room : rooms) {
    const QChar c = shown.at(room.start);
    // One pixel to the left as well, over the edge of the missing glyph's box.
    const int x = left + qRound(line.cursorToX(room.start)) - 1;
    drawBox(painter, QRect(x, top - 1, boxWidth(font(), c) + 1, metrics.height() + 2), c,
            palette().color(QPalette::Text), palette().color(QPalette::Base));
  }
}

}  // namespace quillmar
