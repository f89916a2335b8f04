// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A byte sink that keeps what was written, for looking at it.

#include <string>
#include <string_view>

#include "records/file_writer.h"

namespace quillmar {

class StringSink final : public ByteSink {
 public:
  void write(std::string_view bytes) override { text.append(bytes); }
  std::string text;
};

}  // namespace quillmar
