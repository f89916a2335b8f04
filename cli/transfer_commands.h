// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// quillmar-cli receive and send: the reception and upload of the windows,
// without them. Both take the arguments after the command word and return
// the exit status: 0 done, 1 a file or port failure (message on stderr),
// 2 a usage error, 3 a reception that ended before ETX (OUT holds what arrived).

#include <string>
#include <vector>

namespace quillmar::cli {

// receive PORT OUT [--baud B] [--bits 7|8] [--stop TEXT] [--parity TEXT] [--flow WORD] [--timeout SEC]
int runReceive(const std::vector<std::string>& args);

// send PORT IN [--baud B] [--bits 7|8] [--stop TEXT] [--parity TEXT] [--flow WORD] [--line-pause MS]
//      [--timeout SEC]
// --flow: none (the port's own), rtscts or xonxoff; --line-pause: 0..1000 ms
// after each line; --timeout: give up after SEC seconds without progress.
// Records whose line begins with STX or ETX are not sent.
int runSend(const std::vector<std::string>& args);

}  // namespace quillmar::cli
