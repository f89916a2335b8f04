// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files that a library writes by name (GDAL) are made in a temporary folder
// beside the target and moved over the targets only once all of them are
// complete: a failed or interrupted export leaves the old files as they were
// and no temporary ones.

#include <string>
#include <vector>

namespace quillmar::gis {

class StagedFiles {
 public:
  // `folder` is where the files go; throws IoError when no temporary folder
  // can be made there (a missing or read-only folder). The temporary folder
  // is named with the process id: those of processes that are gone (killed
  // while they wrote) are removed here.
  explicit StagedFiles(std::string folder);
  ~StagedFiles();  // without commit: the temporary files go, the targets stay
  StagedFiles(const StagedFiles&) = delete;
  StagedFiles& operator=(const StagedFiles&) = delete;

  // Where to write the file that is to become `name` in the folder.
  std::string stagedPath(const std::string& name) const;
  // Moves every file written over its namesake in the folder, with the
  // folder locked against other exports' moves, keeping an old
  // file's mode. `replacedSets` names sets of sibling files ("plan_points."):
  // an old sibling that the new set lacks (a ".prj" of another coordinate
  // system) goes. Returns the names moved. Throws IoError.
  std::vector<std::string> commit(const std::vector<std::string>& replacedSets = {});

 private:
  void removeTemporary() noexcept;

  std::string folder_;
  std::string temporary_;
};

// For a signal handler: removes the temporary folder of the export in
// progress. Only async-signal-safe calls.
void abandonStagedFilesInProgress() noexcept;

}  // namespace quillmar::gis
