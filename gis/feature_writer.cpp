// SPDX-License-Identifier: GPL-3.0-or-later
#include "gis/feature_writer.h"

#include "records/table_text.h"

namespace quillmar::gis {

namespace {

// Wide enough in a Shapefile's table for 16 Cyrillic characters in UTF-8 and more.
// sN, sE, sElev: an adjusted point's standard deviations in millimetres.
constexpr LayerField kPointFields[] = {
    {"name", OFTString, 80}, {"code", OFTString, 80},    {"elevation", OFTReal, 0}, {"kind", OFTString, 10},
    {"row", OFTInteger, 0},  {"station", OFTString, 80}, {"method", OFTString, 40}, {"sN", OFTReal, 0},
    {"sE", OFTReal, 0},      {"sElev", OFTReal, 0},
};
// The set-ups' layer leaves out the last five: a set-up is no computed point.
constexpr std::size_t kStationFieldCount = 5;
constexpr LayerField kLineFields[] = {{"station", OFTString, 80}, {"target", OFTString, 80}};
// Numbers as our tables write them: four decimals, never "-0.0000".
constexpr LayerField kPnezdFields[] = {{"name", OFTString, 0},
                                       {"northing", OFTString, 0},
                                       {"easting", OFTString, 0},
                                       {"elevation", OFTString, 0},
                                       {"description", OFTString, 0}};
constexpr int kPnezdDecimals = 4;

constexpr std::size_t kLargestIndexedLayer = 100000;

const char* driverName(GisFormat format) {
  switch (format) {
    case GisFormat::GeoPackage: return "GPKG";
    case GisFormat::Shapefile: return "ESRI Shapefile";
    case GisFormat::Dxf: return "DXF";
    case GisFormat::GeoJson: return "GeoJSON";
    case GisFormat::Kml: return "KML";
    case GisFormat::Pnezd: return "CSV";
  }
  return "";
}

CPLStringList layerOptions(GisFormat format, std::size_t features) {
  CPLStringList options;
  switch (format) {
    case GisFormat::GeoPackage:
      // GDAL 3.6 fills a GeoPackage's R-tree at some 15 us a feature, more
      // than all the rest of the export; a GIS builds it on request.
      if (features > kLargestIndexedLayer) options.SetNameValue("SPATIAL_INDEX", "NO");
      break;
    case GisFormat::Shapefile: options.SetNameValue("ENCODING", "UTF-8"); break;
    case GisFormat::GeoJson:
      options.SetNameValue("RFC7946", "YES");
      // 1e-10 degree is some 0.01 mm.
      options.SetNameValue("COORDINATE_PRECISION", "10");
      break;
    case GisFormat::Pnezd:
      options.SetNameValue("LINEFORMAT", "CRLF");
      options.SetNameValue("STRING_QUOTING", "IF_NEEDED");  // the numbers are texts of ours
      break;
    default: break;
  }
  return options;
}

void addFeature(OGRLayer& layer, OGRFeature& feature, const char* what, GdalErrors& errors) {
  feature.SetFID(OGRNullFID);
  if (layer.CreateFeature(&feature) != OGRERR_NONE) errors.raise(std::string("cannot write ") + what);
}

}  // namespace

FeatureWriter::FeatureWriter(const BookFeatures& book, GisFormat format, const GisExportOptions& options)
    : book_(book), format_(format), options_(options), source_(SpatialReference(options.crs)) {
  if (!InfoOf(format).geographic) return;
  target_ = std::make_unique<OGRSpatialReference>();
  target_->SetWellKnownGeogCS("WGS84");
  target_->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  GdalErrors quiet;
  transform_.reset(OGRCreateCoordinateTransformation(source_.get(), target_.get()));
  if (!transform_) throw GisError(GisProblem::UnknownCrs, options.crs);
}

GDALDataset* FeatureWriter::create(const std::string& path, GdalErrors& errors) {
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName(format_));
  if (driver == nullptr) throw GisError(GisProblem::WriteFailed, std::string("no GDAL driver ") + driverName(format_));
  GDALDataset* dataset = driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr);
  if (dataset == nullptr) errors.raise("cannot create " + path);
  return dataset;
}

std::size_t FeatureWriter::writeLayer(GDALDataset& dataset, Layer layer, GdalErrors& errors) {
  const std::string name(LayerName(layer));
  if (layer == kSightLinesLayer) {
    OGRLayer* out = createLayer(dataset, name, wkbLineString25D, kLineFields, book_.sightLineCount(), errors);
    return writeSightLines(*out, errors);
  }
  const std::vector<std::uint32_t>* only = layer == kStationsLayer ? &book_.stations() : nullptr;
  const std::span<const LayerField> fields(kPointFields,
                                           layer == kPointsLayer ? std::size(kPointFields) : kStationFieldCount);
  OGRLayer* out = createLayer(dataset, name, anyElevation(only) ? wkbPoint25D : wkbPoint, fields,
                              only ? only->size() : book_.pointCount(), errors);
  return writePoints(*out, only, errors);
}

void FeatureWriter::writeDrawing(GDALDataset& dataset, unsigned layers, GisExportSummary& summary, GdalErrors& errors) {
  OGRLayer* drawing = dataset.CreateLayer("entities", nullptr, wkbUnknown, nullptr);
  if (drawing == nullptr) errors.raise("cannot create the drawing");
  OGRFeature feature(drawing->GetLayerDefn());
  if (layers & kPointsLayer) {
    for (std::size_t i = 0; i < book_.pointCount(); ++i)
      addLabelledPoint(*drawing, feature, book_.point(i), "points", errors);
    summary.points = book_.pointCount();
  }
  if (layers & kStationsLayer) {
    for (const std::uint32_t i : book_.stations())
      addLabelledPoint(*drawing, feature, book_.point(i), "stations", errors);
    summary.stations = book_.stations().size();
  }
  feature.SetStyleString(nullptr);
  if (layers & kSightLinesLayer) {
    for (std::size_t i = 0; i < book_.sightLineCount(); ++i) {
      const auto [from, to] = book_.sightLine(i);
      feature.SetField(feature.GetFieldIndex("Layer"), "sight_lines");
      setLine(feature, book_.point(from), book_.point(to));
      addFeature(*drawing, feature, "an entity", errors);
    }
    summary.sightLines = book_.sightLineCount();
  }
}

std::size_t FeatureWriter::writePnezd(GDALDataset& dataset, unsigned layers, GdalErrors& errors) {
  OGRLayer* table = createLayer(dataset, "points", wkbNone, kPnezdFields, 0, errors);
  const std::vector<std::uint32_t>* only = layers & kPointsLayer ? nullptr : &book_.stations();
  const std::size_t count = only ? only->size() : book_.pointCount();
  OGRFeature feature(table->GetLayerDefn());
  for (std::size_t i = 0; i < count; ++i) {
    const PointFeature point = book_.point(only ? (*only)[i] : i);
    feature.SetField(0, utf8_(point.name));
    feature.SetField(1, FixedText(point.north, kPnezdDecimals).c_str());
    feature.SetField(2, FixedText(point.east, kPnezdDecimals).c_str());
    if (point.elevation)
      feature.SetField(3, FixedText(*point.elevation, kPnezdDecimals).c_str());
    else
      feature.SetFieldNull(3);
    feature.SetField(4, utf8_(point.code));
    addFeature(*table, feature, "a point", errors);
  }
  return count;
}

// None in a Shapefile or a DXF drawing when the book has none.
OGRSpatialReference* FeatureWriter::layerReference() const {
  if (format_ == GisFormat::Pnezd || format_ == GisFormat::Dxf) return nullptr;
  if (target_) return target_.get();
  if (TrimmedCrs(options_.crs).empty() && format_ != GisFormat::GeoPackage) return nullptr;
  return source_.get();
}

OGRLayer* FeatureWriter::createLayer(GDALDataset& dataset, const std::string& name, OGRwkbGeometryType type,
                                     std::span<const LayerField> fields, std::size_t features, GdalErrors& errors) {
  CPLStringList options = layerOptions(format_, features);
  OGRLayer* layer = dataset.CreateLayer(name.c_str(), layerReference(), type, options.List());
  if (layer == nullptr) errors.raise("cannot create layer " + name);
  for (const LayerField& field : fields) createField(*layer, field, errors);
  return layer;
}

void FeatureWriter::createField(OGRLayer& layer, const LayerField& field, GdalErrors& errors) {
  OGRFieldDefn definition(field.name, field.type);
  if (field.width > 0) definition.SetWidth(field.width);
  if (layer.CreateField(&definition) != OGRERR_NONE) errors.raise("cannot create field");
}

std::size_t FeatureWriter::writePoints(OGRLayer& layer, const std::vector<std::uint32_t>* only, GdalErrors& errors) {
  OGRFeature feature(layer.GetLayerDefn());
  // A writer may keep a column as it likes (KML's name): each is looked up.
  const auto index = [&](const char* name) { return feature.GetFieldIndex(name); };
  const int name = index("name"), code = index("code"), elevation = index("elevation"), kind = index("kind"),
            row = index("row"), station = index("station"), method = index("method"), sNorth = index("sN"),
            sEast = index("sE"), sElevation = index("sElev");
  const std::size_t count = only ? only->size() : book_.pointCount();
  for (std::size_t i = 0; i < count; ++i) {
    const PointFeature point = book_.point(only ? (*only)[i] : i);
    setOrNull(feature, name, point.name);
    setOrNull(feature, code, point.code);
    setOrNull(feature, elevation, point.elevation);
    if (kind >= 0) feature.SetField(kind, KindWord(point.kind).data());
    if (row >= 0) feature.SetField(row, static_cast<int>(point.row + 1));
    setOrNull(feature, station, point.station);
    setOrNull(feature, method, point.method);
    setOrNull(feature, sNorth, point.sNorthMm);
    setOrNull(feature, sEast, point.sEastMm);
    setOrNull(feature, sElevation, point.sElevationMm);
    setPoint(feature, point);
    addFeature(layer, feature, "a point", errors);
  }
  return count;
}

std::size_t FeatureWriter::writeSightLines(OGRLayer& layer, GdalErrors& errors) {
  OGRFeature feature(layer.GetLayerDefn());
  const int stationField = feature.GetFieldIndex("station"), targetField = feature.GetFieldIndex("target");
  for (std::size_t i = 0; i < book_.sightLineCount(); ++i) {
    const auto [from, to] = book_.sightLine(i);
    const PointFeature station = book_.point(from);
    const PointFeature target = book_.point(to);
    setOrNull(feature, stationField, station.name);
    setOrNull(feature, targetField, target.name);
    setLine(feature, station, target);
    addFeature(layer, feature, "a sight line", errors);
  }
  return book_.sightLineCount();
}

// The point, and its name as a TEXT entity beside it.
void FeatureWriter::addLabelledPoint(OGRLayer& layer, OGRFeature& feature, const PointFeature& point,
                                     const char* drawingLayer, GdalErrors& errors) {
  feature.SetField(feature.GetFieldIndex("Layer"), drawingLayer);
  feature.SetStyleString(nullptr);
  setPoint(feature, point);
  addFeature(layer, feature, "an entity", errors);
  if (point.name.empty()) return;
  feature.SetStyleString(nameLabel(point.name).c_str());
  addFeature(layer, feature, "an entity", errors);
}

// 0.5 m high, a little up and right of the point.
std::string FeatureWriter::nameLabel(std::string_view name) {
  std::string label = "LABEL(f:\"Arial\",s:0.5g,dx:0.3g,dy:0.3g,p:1,t:\"";
  for (const char* c = utf8_(name); *c != '\0'; ++c) {
    if (*c == '"' || *c == '\\') label.push_back('\\');
    label.push_back(*c);
  }
  return label + "\")";
}

bool FeatureWriter::anyElevation(const std::vector<std::uint32_t>* only) const {
  const std::size_t count = only ? only->size() : book_.pointCount();
  for (std::size_t i = 0; i < count; ++i)
    if (book_.point(only ? (*only)[i] : i).elevation) return true;
  return false;
}

// X and Y as the layer holds them; a point outside the projection's domain
// is named with PROJ's reason.
void FeatureWriter::place(double& x, double& y, std::string_view name) {
  if (!transform_) return;
  CPLErrorReset();
  int success = FALSE;
  if (transform_->Transform(1, &x, &y, nullptr, &success) && success) return;
  const std::string reason = CPLGetLastErrorMsg();
  throw GisError(GisProblem::PointOutsideCrs, "\"" + std::string(utf8_(name)) + "\": " +
                                                  (reason.empty() ? "outside the projection's domain" : reason));
}

void FeatureWriter::setOrNull(OGRFeature& feature, int field, std::optional<double> value) {
  if (field < 0) return;
  if (value)
    feature.SetField(field, *value);
  else
    feature.SetFieldNull(field);
}

void FeatureWriter::setOrNull(OGRFeature& feature, int field, std::string_view text) {
  if (field < 0) return;
  if (text.empty())
    feature.SetFieldNull(field);
  else
    feature.SetField(field, utf8_(text));
}

void FeatureWriter::setPoint(OGRFeature& feature, const PointFeature& point) {
  double x = point.east;
  double y = point.north;
  place(x, y, point.name);
  if (point.elevation)
    feature.SetGeometryDirectly(new OGRPoint(x, y, *point.elevation));
  else
    feature.SetGeometryDirectly(new OGRPoint(x, y));
}

void FeatureWriter::setLine(OGRFeature& feature, const PointFeature& from, const PointFeature& to) {
  auto* line = new OGRLineString;
  for (const PointFeature* end : {&from, &to}) {
    double x = end->east;
    double y = end->north;
    place(x, y, end->name);
    if (from.elevation && to.elevation)
      line->addPoint(x, y, *end->elevation);
    else
      line->addPoint(x, y);
  }
  feature.SetGeometryDirectly(line);
}

}  // namespace quillmar::gis
