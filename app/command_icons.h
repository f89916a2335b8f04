#pragma once
// The command pictures, drawn rather than shipped. A command has the same
// number, and so the same picture, in the frame's set and the document
// window's set.

#include <QIcon>
#include <QList>
#include <QPixmap>

namespace quillmar {

inline constexpr int kFrameIconCount = 10;
inline constexpr int kDocumentIconCount = 13;

QIcon commandIcon(int number);
QList<QIcon> frameIcons();
QList<QIcon> documentIcons();

// The program's own icon: an instrument on its tripod.
QIcon applicationIcon();
// The same picture at any size, for the desktop's icon theme.
QPixmap applicationPixmap(int size);
// The file managers' pictures of a record file (*.qdl) and an SDR field book.
QPixmap recordFilePixmap(int size);
QPixmap fieldBookPixmap(int size);

}  // namespace quillmar
