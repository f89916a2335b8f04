// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// State that the whole program shares: the windows get a reference to it.

#include <cstddef>

#include "records/caption_state.h"
#include "records/line_buffer.h"

namespace quillmar {

struct ProgramState {
  int newDocCounter = 0;
  LineBuffer lineBuffer;
  std::size_t lineCount = 0;
  bool receptionDone = false;
  CaptionState captions;
};

}  // namespace quillmar
