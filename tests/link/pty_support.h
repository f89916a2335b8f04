// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers for tests that put the program's port on a pseudo-terminal: the
// test plays the instrument on the other side.

#include <termios.h>

#include <chrono>
#include <string>
#include <string_view>

#include "tools/instrument/pty_pair.h"

namespace quillmar::test {

using instrument::PtyPair;

// The line settings the program's side of the pseudo-terminal has now.
termios portSettings(const PtyPair& pty);
void setPortSettings(const PtyPair& pty, const termios& settings);

// Gives the port a speed no transfer uses, so that the moment the program
// has opened and configured it can be seen.
void markUnopened(const PtyPair& pty);
// False if the program has not configured the port within five seconds.
bool waitUntilConfigured(const PtyPair& pty);

// The instrument sends.
void sendFromInstrument(const PtyPair& pty, std::string_view bytes);

// Bytes still waiting in the port that the program has not read.
std::string unreadPortBytes(const PtyPair& pty);

}  // namespace quillmar::test
