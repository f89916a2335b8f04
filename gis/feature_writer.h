// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The layers of one export through OGR: their schemas, the coordinate
// systems they are written in, and the book's points and sight lines as
// features.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include "gis/book_features.h"
#include "gis/gdal_support.h"
#include "gis/gis_export.h"

namespace quillmar::gis {

// A column of a layer's table; no width: the driver's own.
struct LayerField {
  const char* name;
  OGRFieldType type;
  int width;
};

class FeatureWriter {
 public:
  // Throws GisError when the book's CRS cannot be reprojected to WGS 84.
  FeatureWriter(const BookFeatures& book, GisFormat format, const GisExportOptions& options);

  GDALDataset* create(const std::string& path, GdalErrors& errors);
  // One of the book's layers as a layer of its own; returns the features written.
  std::size_t writeLayer(GDALDataset& dataset, Layer layer, GdalErrors& errors);
  // A DXF drawing has one OGR layer; each entity names its drawing layer.
  void writeDrawing(GDALDataset& dataset, unsigned layers, GisExportSummary& summary, GdalErrors& errors);
  // CSV "PNEZD": the points, or the set-ups when only they are asked for.
  std::size_t writePnezd(GDALDataset& dataset, unsigned layers, GdalErrors& errors);

 private:
  OGRSpatialReference* layerReference() const;
  OGRLayer* createLayer(GDALDataset& dataset, const std::string& name, OGRwkbGeometryType type,
                        std::span<const LayerField> fields, std::size_t features, GdalErrors& errors);
  void createField(OGRLayer& layer, const LayerField& field, GdalErrors& errors);
  std::size_t writePoints(OGRLayer& layer, const std::vector<std::uint32_t>* only, GdalErrors& errors);
  std::size_t writeSightLines(OGRLayer& layer, GdalErrors& errors);
  void addLabelledPoint(OGRLayer& layer, OGRFeature& feature, const PointFeature& point, const char* drawingLayer,
                        GdalErrors& errors);
  bool anyElevation(const std::vector<std::uint32_t>* only) const;
  std::string nameLabel(std::string_view name);
  void place(double& x, double& y, std::string_view name);
  void setOrNull(OGRFeature& feature, int field, std::string_view text);
  static void setOrNull(OGRFeature& feature, int field, std::optional<double> value);
  void setPoint(OGRFeature& feature, const PointFeature& point);
  void setLine(OGRFeature& feature, const PointFeature& from, const PointFeature& to);

  const BookFeatures& book_;
  GisFormat format_;
  const GisExportOptions& options_;
  std::unique_ptr<OGRSpatialReference> source_;
  std::unique_ptr<OGRSpatialReference> target_;
  std::unique_ptr<OGRCoordinateTransformation> transform_;
  Utf8 utf8_;
};

}  // namespace quillmar::gis
