// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Start-up: the long-lived windows, created once in their fixed order and
// kept until the program ends.

#include <memory>

class QApplication;

namespace quillmar {

class DialogSeam;
class TMainForm;
struct ProgramState;
struct SharedWindows;

// Everything but the frame starts hidden; the frame owns the other windows.
std::unique_ptr<TMainForm> createLongLivedWindows(ProgramState& program, SharedWindows& shared, DialogSeam& seam);

// Runs the window thread's loop until the frame has closed, then returns the
// loop's result. The frame alone decides: no other window, open or closed, ends
// the loop, and none keeps the program alive once the frame is gone.
int runUntilFrameCloses(TMainForm& frame);

// The toolkit's own texts (file dialogs, standard buttons) in Russian, as
// the program's own are, whatever the user's locale, from the system's Qt
// translations (qtbase_ru.qm). Returns false when they are not installed.
bool installToolkitTranslations(QApplication& app);

}  // namespace quillmar
