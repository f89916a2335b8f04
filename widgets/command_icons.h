// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command pictures, drawn rather than shipped. A command has the same
// number, and so the same picture, in the frame's set and the document
// window's set.

#include <QIcon>
#include <QList>
#include <QPixmap>

namespace quillmar {

// The document window's set in order; the frame's set is its first ten.
enum class CommandIcon { New, Open, Save, SaveAs, Import, Export, Exit, Receive, Upload, Help, Edit, Delete, Add };

inline constexpr int kFrameIconCount = static_cast<int>(CommandIcon::Help) + 1;
inline constexpr int kDocumentIconCount = static_cast<int>(CommandIcon::Add) + 1;

QIcon commandIcon(int number);
QList<QIcon> frameIcons();
QList<QIcon> documentIcons();

// The picture of a command in a set made by frameIcons or documentIcons.
inline QIcon iconIn(const QList<QIcon>& set, CommandIcon command) { return set.value(static_cast<int>(command)); }

// The program's own icon: an instrument on its tripod.
QIcon applicationIcon();
// The same picture at any size, for the desktop's icon theme.
QPixmap applicationPixmap(int size);
// The file managers' pictures of a record file (*.qdl) and an SDR field book.
QPixmap recordFilePixmap(int size);
QPixmap fieldBookPixmap(int size);

}  // namespace quillmar
