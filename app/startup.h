#pragma once
// Start-up: the long-lived windows, created once in their fixed order and
// kept until the program ends.

#include <memory>

namespace quillmar {

class DialogSeam;
class TMainForm;
struct ProgramState;
struct SharedWindows;

// Everything but the frame starts hidden; the frame owns the other windows.
std::unique_ptr<TMainForm> createLongLivedWindows(ProgramState& program, SharedWindows& shared,
                                                  DialogSeam& seam);

}  // namespace quillmar
