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

// The toolkit's own texts (file dialogs, standard buttons) in the user's
// language, from the system's Qt translations. The program's texts are its own.
// Returns false when there is no translation for the language.
bool installToolkitTranslations(QApplication& app);

}  // namespace quillmar
