// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a large file on a worker thread while the windows stay painted.
// A reading that ends at once shows nothing; a longer one shows a progress
// window whose Cancel stops it. The progress window is modal for the whole
// program, so no command runs, and no caption is made, until the rows are in.

#include <QString>

#include <cstddef>
#include <functional>
#include <optional>

#include "records/io_error.h"

class QWidget;

namespace quillmar {

struct LoadResult {
  std::optional<IoError> error;
  bool cancelled = false;
};

// `work` runs on the worker thread and calls the function it is handed with
// its progress now and then (out of `total`); that call ends the work by an
// exception once Cancel has been pressed. An IoError of the work is handed
// back; any other exception is thrown again here.
using LoadProgress = std::function<void(std::size_t done)>;
LoadResult loadInBackground(QWidget* parent, const QString& label, std::size_t total,
                            const std::function<void(const LoadProgress&)>& work);

}  // namespace quillmar
