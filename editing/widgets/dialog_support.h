#pragma once
// What the edit and add dialogs share: their parts below the first row, the
// message for a value Windows-1251 cannot hold and placement over the main
// window.

#include <QString>
#include <Qt>

class QDialog;
class QLabel;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace quillmar {

class ParameterTable;

// Below its first row a record dialog has the parameter table, a status line
// that says why OK is refused, and "Отмена" beside its OK button.
struct RecordDialogParts {
  ParameterTable* editor = nullptr;
  QLabel* statusLabel = nullptr;
  QPushButton* cancelButton = nullptr;
  QPushButton* okButton = nullptr;
  QVBoxLayout* layout = nullptr;  // the dialog's own; the caller inserts the first row at the top
};

RecordDialogParts addRecordDialogParts(QDialog& dialog, int labelColumn, int valueColumn, const QString& okText);

// Clears the status line and hides it.
void clearStatus(const RecordDialogParts& parts);

// Why a value of the row `label` was refused.
QString unencodableValueMessage(const QString& label);

// A dialog window with a caption and a close box, nothing else.
inline constexpr Qt::WindowFlags kCloseBoxOnly = Qt::Dialog | Qt::CustomizeWindowHint |
                                                 Qt::WindowTitleHint |
                                                 Qt::WindowCloseButtonHint;

// Moves `dialog` so that it stands centred over its parent's window.
void centreOnParentWindow(QWidget& dialog);

}  // namespace quillmar
