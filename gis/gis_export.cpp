// SPDX-License-Identifier: GPL-3.0-or-later
#include "gis/gis_export.h"

#include <cerrno>
#include <cstdio>

#include "gis/dxf_label_style.h"
#include "gis/export_targets.h"
#include "gis/feature_writer.h"
#include "gis/gdal_support.h"
#include "gis/staged_files.h"
#include "gis/watched_files.h"
#include "records/file_writer.h"
#include "records/io_error.h"

namespace quillmar::gis {
namespace {

void count(GisExportSummary& summary, Layer layer, std::size_t n) {
  if (layer == kPointsLayer)
    summary.points = n;
  else if (layer == kStationsLayer)
    summary.stations = n;
  else
    summary.sightLines = n;
}

// Where GDAL writes `name`: a GeoPackage's SQLite reports a full disk itself.
std::string writtenPath(const StagedFiles& staged, const std::string& name, GisFormat format) {
  const std::string path = staged.stagedPath(name);
  return format == GisFormat::GeoPackage ? path : WatchedPath(path);
}

// Closing writes what GDAL still holds; a failure there is the export's.
// A failure before it closes the dataset and passes on. An error names the
// file it happened to.
template <typename Write>
void writeAndClose(FeatureWriter& writer, const std::string& path, const std::string& file, GdalErrors& errors,
                   Write write) {
  const WriteWatch watch;
  try {
    GDALDataset* dataset = writer.create(path, errors);
    try {
      write(*dataset);
    } catch (...) {
      GDALClose(dataset);
      throw;
    }
    GDALClose(dataset);
    watch.check();
    if (errors.failed()) errors.raise("cannot close the file");
  } catch (const GisError& error) {
    throw GisError(error.problem(), error.detail(), file);
  } catch (const IoError& error) {
    throw GisFileError(error, file);
  }
}

// One transaction for the whole file: a million points in seconds.
void writeLayersInOneFile(FeatureWriter& writer, GDALDataset& dataset, unsigned layers, GisExportSummary& summary,
                          GdalErrors& errors) {
  const bool transaction = dataset.StartTransaction() == OGRERR_NONE;
  for (const Layer layer : kLayerOrder)
    if (layers & layer) count(summary, layer, writer.writeLayer(dataset, layer, errors));
  if (transaction && dataset.CommitTransaction() != OGRERR_NONE) errors.raise("cannot commit");
}

// Returns the sets of sibling files written ("out_points."), for a Shapefile.
std::vector<std::string> writeFilePerLayer(FeatureWriter& writer, StagedFiles& staged, const std::string& path,
                                           GisFormat format, unsigned layers, GisExportSummary& summary,
                                           GdalErrors& errors) {
  std::vector<std::string> sets;
  for (const Layer layer : kLayerOrder) {
    if (!(layers & layer)) continue;
    const std::string file = TargetFiles(path, format, layer).front();
    const std::string name = NameOf(file);
    writeAndClose(writer, writtenPath(staged, name, format), file, errors,
                  [&](GDALDataset& dataset) { count(summary, layer, writer.writeLayer(dataset, layer, errors)); });
    if (format == GisFormat::Shapefile) sets.push_back(StemOf(name, InfoOf(format).extension) + ".");
  }
  return sets;
}

void nameLabelStyle(const std::string& written, const std::string& file) {
  try {
    NameLabelStyle(written);
  } catch (const IoError& error) {
    throw GisFileError(error, file);
  }
}

void writeSingleFile(FeatureWriter& writer, StagedFiles& staged, const std::string& path, GisFormat format,
                     unsigned layers, GisExportSummary& summary, GdalErrors& errors) {
  // The CSV and KML writers make a folder of a name without their extension.
  const std::string_view extension = InfoOf(format).extension;
  const std::string name = NameOf(path);
  const std::string writtenName = StemOf(name, extension) == name ? name + DottedExtension(extension) : name;
  writeAndClose(writer, writtenPath(staged, writtenName, format), path, errors, [&](GDALDataset& dataset) {
    if (format == GisFormat::Dxf) {
      writer.writeDrawing(dataset, layers, summary, errors);
    } else if (format == GisFormat::Pnezd) {
      count(summary, layers & kPointsLayer ? kPointsLayer : kStationsLayer, writer.writePnezd(dataset, layers, errors));
    } else {
      writeLayersInOneFile(writer, dataset, layers, summary, errors);
    }
  });
  if (format == GisFormat::Dxf) nameLabelStyle(staged.stagedPath(writtenName), path);
  if (writtenName != name && ::rename(staged.stagedPath(writtenName).c_str(), staged.stagedPath(name).c_str()) != 0)
    throw IoError::fromErrno(errno);
}

void countOutsideAreaOfUse(const BookFeatures& book, const std::string& crs, GisExportSummary& summary) {
  if (TrimmedCrs(crs).empty()) return;
  const auto area = AreaOfUseOf(*SpatialReference(crs));
  if (!area) return;
  summary.areaOfUse = area->name;
  for (std::size_t i = 0; i < book.pointCount(); ++i) {
    const PointFeature point = book.point(i);
    if (point.east < area->minX || point.east > area->maxX || point.north < area->minY || point.north > area->maxY)
      ++summary.outsideAreaOfUse;
  }
}

}  // namespace

GisExportSummary ExportGis(const std::string& requested, const BookFeatures& book, GisFormat format,
                           const GisExportOptions& options) {
  const unsigned layers = options.layers & kAllLayers;
  if (layers == 0) throw GisError(GisProblem::NoLayers, {});
  CheckCrs(format, options.crs);
  if (requested.empty()) throw IoError::fromErrno(ENOENT);
  const bool filePerLayer = InfoOf(format).filePerLayer;
  const std::string path = filePerLayer ? requested : FollowedLink(requested);
  CheckTargetsWritable(TargetFiles(path, format, layers), format == GisFormat::Shapefile);
  FeatureWriter writer(book, format, options);
  GisExportSummary summary;
  summary.noCoordinates = book.pointCount() == 0;
  countOutsideAreaOfUse(book, options.crs, summary);
  StagedFiles staged(FolderOf(path));
  GdalErrors errors;
  std::vector<std::string> sets;
  if (filePerLayer)
    sets = writeFilePerLayer(writer, staged, path, format, layers, summary, errors);
  else
    writeSingleFile(writer, staged, path, format, layers, summary, errors);
  summary.files = staged.commit(sets);
  return summary;
}

}  // namespace quillmar::gis
