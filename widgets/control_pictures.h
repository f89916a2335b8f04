// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Control characters drawn as programmers' editors draw them: a small
// inverted box holding the character's name (CR, LF, STX, ETX, NUL...) or
// its hex value. Texts reach the widgets with every control byte as its
// picture from the Control Pictures block (and a byte the code page leaves
// unassigned as a private-use character, see text_codec.h); Debian's fonts
// have no glyphs for those, so the widgets below draw the boxes themselves.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QString>
#include <QStringView>
#include <QStyledItemDelegate>

class QFont;
class QPainter;

namespace quillmar {

// True for a picture that stands for a control byte or an unassigned byte.
bool isControlPicture(QChar c);
// "CR", "LF", "STX", "NUL", "DEL"... or the byte in hex ("98").
QString controlPictureName(QChar c);
// The text with each picture spelled out in angle brackets: "<CR><LF>".
QString spelledOutControls(QStringView text);

// Width of a text in `font` whose pictures are drawn as boxes.
int boxedTextWidth(const QFont& font, QStringView text);
// Draws `text` in the painter's font from `left` on the line of `baseline`,
// pictures as boxes in the pen's colour with their letters in `background`.
void drawBoxedText(QPainter& painter, int left, int baseline, QStringView text, const QColor& background);

// The document list's rows: boxes for the pictures, the whole caption in a
// tooltip when the row shows only part of it.
class ControlPictureDelegate final : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override;
};

// A plain-text editor that draws the pictures of its text as boxes; each
// picture keeps room for its box.
class ControlPictureEdit final : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit ControlPictureEdit(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A line edit that draws the pictures of its text as boxes (the settings
// dialog's drop-downs).
class ControlPictureLineEdit final : public QLineEdit {
  Q_OBJECT

 public:
  explicit ControlPictureLineEdit(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void makeRoomForBoxes();
};

}  // namespace quillmar
