// SPDX-License-Identifier: GPL-3.0-or-later
#include "gis/export_targets.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "gis/gis_export.h"
#include "records/io_error.h"

namespace quillmar::gis {
namespace {

std::vector<std::string> withShapefileSiblings(const std::string& file) {
  std::vector<std::string> set{file};
  const std::string stem = StemOf(file, "shp");
  for (const char* suffix : {".shx", ".dbf", ".prj", ".cpg"}) set.push_back(stem + suffix);
  return set;
}

void checkWritable(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd >= 0)
    ::close(fd);
  else if (errno != ENOENT && errno != ENXIO)
    throw IoError::fromErrno(errno);
}

}  // namespace

// Built by appending, which GCC 12's -Wrestrict takes for what it is.
std::string DottedExtension(std::string_view extension) {
  std::string dotted(1, '.');
  dotted.append(extension);
  return dotted;
}

std::string StemOf(const std::string& name, std::string_view extension) {
  const std::string dotted = DottedExtension(extension);
  if (name.size() > dotted.size() && name.compare(name.size() - dotted.size(), dotted.size(), dotted) == 0)
    return name.substr(0, name.size() - dotted.size());
  return name;
}

void CheckTargetsWritable(const std::vector<std::string>& files, bool shapefile) {
  for (const std::string& file : files) {
    for (const std::string& path : shapefile ? withShapefileSiblings(file) : std::vector<std::string>{file}) {
      try {
        checkWritable(path);
      } catch (const IoError& error) {
        throw GisFileError(error, path);
      }
    }
  }
}

std::string FollowedLink(const std::string& path) {
  char resolved[PATH_MAX];
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode) || ::realpath(path.c_str(), resolved) == nullptr)
    return path;
  return resolved;
}

std::vector<std::string> TargetFiles(const std::string& path, GisFormat format, unsigned layers) {
  const GisFormatInfo& info = InfoOf(format);
  if (!info.filePerLayer) return {path};
  const std::string stem = StemOf(path, info.extension);
  std::vector<std::string> files;
  for (const Layer layer : kLayerOrder)
    if (layers & layer) files.push_back(stem + "_" + std::string(LayerName(layer)) + DottedExtension(info.extension));
  return files;
}

}  // namespace quillmar::gis
