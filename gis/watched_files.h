// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// GDAL's writers of GeoJSON, KML, Shapefile and CSV drop the result of a
// failed write: a full disk left a truncated file and no error. Their files
// go through a GDAL file system of ours that keeps the first failure.

#include <string>

namespace quillmar::gis {

// The name under which GDAL writes `path` through the watching file system.
std::string WatchedPath(const std::string& path);

// The errno of the first failed write of the watch in progress; 0 for none.
int WatchedWriteFailure();

// Counts the failures from now on, for this thread's export.
class WriteWatch {
 public:
  WriteWatch();
  ~WriteWatch();
  WriteWatch(const WriteWatch&) = delete;
  WriteWatch& operator=(const WriteWatch&) = delete;

  // The errno of the first write, flush or close that failed; 0 for none.
  int firstFailure() const;
  // Throws IoError when a write failed.
  void check() const;
};

}  // namespace quillmar::gis
