#include "gis/gis_export.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include <cpl_error.h>
#include <gdal_priv.h>
#include <iconv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <mutex>

#include "gis/staged_files.h"
#include "records/cp1251.h"
#include "records/io_error.h"

namespace quillmar::gis {
namespace {

constexpr GisFormatInfo kFormats[] = {
    {GisFormat::GeoPackage, "GeoPackage"_w, "gpkg", "gpkg", false, false},
    {GisFormat::Shapefile, "ESRI Shapefile"_w, "shp", "shp", false, true},
    {GisFormat::Dxf, "DXF (AutoCAD, LibreCAD)"_w, "dxf", "dxf", false, false},
    {GisFormat::GeoJson, "GeoJSON (WGS 84)"_w, "geojson", "geojson", true, true},
    {GisFormat::Kml, "KML (WGS 84)"_w, "kml", "kml", true, false},
    {GisFormat::Pnezd, "CSV PNEZD"_w, "csv", "pnezd", false, false},
};

constexpr Layer kLayers[] = {kPointsLayer, kStationsLayer, kSightLinesLayer};

const char* driverName(GisFormat format) {
  switch (format) {
    case GisFormat::GeoPackage: return "GPKG";
    case GisFormat::Shapefile: return "ESRI Shapefile";
    case GisFormat::Dxf: return "DXF";
    case GisFormat::GeoJson: return "GeoJSON";
    case GisFormat::Kml: return "LIBKML";  // the plain KML writer mixes up the name field
    case GisFormat::Pnezd: return "CSV";
  }
  return "";
}

constexpr std::size_t kLargestIndexedLayer = 100000;

// A survey's own grid, for the formats that keep a coordinate system.
constexpr const char* kLocalGrid =
    "LOCAL_CS[\"Local survey grid\",LOCAL_DATUM[\"Local\",0],UNIT[\"metre\",1],"
    "AXIS[\"Easting\",EAST],AXIS[\"Northing\",NORTH]]";

void registerDrivers() {
  static std::once_flag once;
  std::call_once(once, [] { GDALAllRegister(); });
}

// Collects GDAL's failures of the calls in its scope instead of printing them.
class GdalErrors {
 public:
  GdalErrors() { CPLPushErrorHandlerEx(&GdalErrors::handle, this); }
  ~GdalErrors() { CPLPopErrorHandler(); }
  GdalErrors(const GdalErrors&) = delete;
  GdalErrors& operator=(const GdalErrors&) = delete;

  bool failed() const { return !first_.empty(); }
  // A write that failed for want of space or rights is a file error.
  [[noreturn]] void raise(const std::string& what) const {
    // Some writers fail without a GDAL message: the system's errno tells.
    const int savedErrno = first_.empty() ? errno : savedErrno_;
    if (savedErrno == ENOSPC || savedErrno == EDQUOT || savedErrno == EFBIG || savedErrno == EACCES || savedErrno == EROFS ||
        savedErrno == EIO)
      throw IoError::fromErrno(savedErrno);
    throw GisError(GisProblem::WriteFailed, first_.empty() ? what : first_);
  }

 private:
  static void CPL_STDCALL handle(CPLErr level, CPLErrorNum, const char* message) {
    auto* self = static_cast<GdalErrors*>(CPLGetErrorHandlerUserData());
    if (level < CE_Failure || self == nullptr || !self->first_.empty()) return;
    self->first_ = message != nullptr ? message : "GDAL";
    self->savedErrno_ = errno;
  }

  std::string first_;
  int savedErrno_ = 0;
};

// The book's Windows-1251 texts as the UTF-8 the formats hold.
class Utf8 {
 public:
  Utf8() : cd_(::iconv_open("UTF-8", "CP1251")) {}
  ~Utf8() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) ::iconv_close(cd_);
  }
  Utf8(const Utf8&) = delete;
  Utf8& operator=(const Utf8&) = delete;

  const char* operator()(std::string_view text) {
    out_.assign(text);
    bool ascii = true;
    for (const char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii || cd_ == reinterpret_cast<iconv_t>(-1)) return out_.c_str();
    std::string in(text);
    out_.assign(text.size() * 3 + 1, '\0');
    char* from = in.data();
    std::size_t fromLeft = in.size();
    char* to = out_.data();
    std::size_t toLeft = out_.size() - 1;
    ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    // Byte 0x98 has no character: it becomes '?' rather than ending the text.
    while (fromLeft > 0 && ::iconv(cd_, &from, &fromLeft, &to, &toLeft) == static_cast<std::size_t>(-1)) {
      if (errno != EILSEQ || toLeft == 0) break;
      *to++ = '?';
      --toLeft;
      ++from;
      --fromLeft;
    }
    out_.resize(static_cast<std::size_t>(to - out_.data()));
    return out_.c_str();
  }

 private:
  iconv_t cd_;
  std::string out_;
};

std::unique_ptr<OGRSpatialReference> spatialReference(const std::string& crs) {
  auto srs = std::make_unique<OGRSpatialReference>();
  // X is easting and Y northing whatever axis order the authority gives.
  srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  if (crs.empty()) {
    srs->importFromWkt(kLocalGrid);
    return srs;
  }
  GdalErrors quiet;
  if (srs->SetFromUserInput(crs.c_str()) != OGRERR_NONE) throw GisError(GisProblem::UnknownCrs, crs);
  return srs;
}

std::string trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// ".gpkg"; built by appending, which GCC 12's -Wrestrict takes for what it is.
std::string dottedExtension(std::string_view extension) {
  std::string dotted(1, '.');
  dotted.append(extension);
  return dotted;
}

std::string stemOf(const std::string& name, std::string_view extension) {
  const std::string dotted = dottedExtension(extension);
  if (name.size() > dotted.size() && name.compare(name.size() - dotted.size(), dotted.size(), dotted) == 0)
    return name.substr(0, name.size() - dotted.size());
  return name;
}

struct Field {
  const char* name;
  OGRFieldType type;
  int width;
};

// Wide enough in a Shapefile's table for 16 Cyrillic characters in UTF-8 and more.
constexpr Field kPointFields[] = {
    {"name", OFTString, 80},    {"code", OFTString, 80},   {"elevation", OFTReal, 0}, {"kind", OFTString, 10},
    {"row", OFTInteger, 0},     {"station", OFTString, 80}, {"method", OFTString, 40},
};
constexpr Field kLineFields[] = {{"station", OFTString, 80}, {"target", OFTString, 80}};
constexpr Field kPnezdFields[] = {{"name", OFTString, 0},
                                  {"northing", OFTReal, 0},
                                  {"easting", OFTReal, 0},
                                  {"elevation", OFTReal, 0},
                                  {"description", OFTString, 0}};

// One export: the coordinate systems, the text conversion and the layers.
class Writer {
 public:
  Writer(const BookFeatures& book, GisFormat format, const GisExportOptions& options)
      : book_(book), format_(format), options_(options) {
    source_ = spatialReference(trimmed(options.crs));
    if (InfoOf(format).geographic) {
      target_ = std::make_unique<OGRSpatialReference>();
      target_->SetWellKnownGeogCS("WGS84");
      target_->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
      GdalErrors quiet;
      transform_.reset(OGRCreateCoordinateTransformation(source_.get(), target_.get()));
      if (!transform_) throw GisError(GisProblem::UnknownCrs, options.crs);
    }
  }

  // The coordinate system a layer is written in; none in a Shapefile or a
  // DXF drawing when the book has none.
  OGRSpatialReference* layerReference() const {
    if (target_) return target_.get();
    if (trimmed(options_.crs).empty() && format_ != GisFormat::GeoPackage) return nullptr;
    return source_.get();
  }

  GDALDataset* create(const std::string& path, GdalErrors& errors) {
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName(format_));
    if (driver == nullptr) throw GisError(GisProblem::WriteFailed, std::string("no GDAL driver ") + driverName(format_));
    GDALDataset* dataset = driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr);
    if (dataset == nullptr) errors.raise("cannot create " + path);
    return dataset;
  }

  OGRLayer* createLayer(GDALDataset& dataset, const std::string& name, OGRwkbGeometryType type,
                        std::span<const Field> fields, std::size_t features, GdalErrors& errors) {
    CPLStringList options;
    switch (format_) {
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
        break;
      default: break;
    }
    OGRSpatialReference* reference = format_ == GisFormat::Pnezd || format_ == GisFormat::Dxf ? nullptr : layerReference();
    OGRLayer* layer = dataset.CreateLayer(name.c_str(), reference, type, options.List());
    if (layer == nullptr) errors.raise("cannot create layer " + name);
    for (const Field& field : fields) {
      OGRFieldDefn definition(field.name, field.type);
      if (field.width > 0) definition.SetWidth(field.width);
      if (field.type == OFTReal && format_ == GisFormat::Pnezd) {
        definition.SetWidth(20);
        definition.SetPrecision(4);
      }
      if (layer->CreateField(&definition) != OGRERR_NONE) errors.raise("cannot create field");
    }
    return layer;
  }

  // X and Y as the layer holds them.
  void place(double& x, double& y) const {
    if (transform_ && !transform_->Transform(1, &x, &y)) throw GisError(GisProblem::UnknownCrs, options_.crs);
  }

  std::size_t writePoints(OGRLayer& layer, const std::vector<std::uint32_t>* only, GdalErrors& errors) {
    OGRFeature feature(layer.GetLayerDefn());
    const std::size_t count = only ? only->size() : book_.pointCount();
    for (std::size_t i = 0; i < count; ++i) {
      const PointFeature point = book_.point(only ? (*only)[i] : i);
      feature.SetFID(OGRNullFID);
      feature.SetField(0, utf8_(point.name));
      feature.SetField(1, utf8_(point.code));
      if (point.elevation) feature.SetField(2, *point.elevation);
      else feature.SetFieldNull(2);
      feature.SetField(3, KindWord(point.kind).data());
      feature.SetField(4, static_cast<int>(point.row + 1));
      if (feature.GetFieldCount() > 5) {
        setOrNull(feature, 5, point.station);
        setOrNull(feature, 6, point.method);
      }
      setPoint(feature, point);
      if (layer.CreateFeature(&feature) != OGRERR_NONE) errors.raise("cannot write a point");
    }
    return count;
  }

  std::size_t writeSightLines(OGRLayer& layer, GdalErrors& errors) {
    OGRFeature feature(layer.GetLayerDefn());
    for (std::size_t i = 0; i < book_.sightLineCount(); ++i) {
      const auto [from, to] = book_.sightLine(i);
      const PointFeature station = book_.point(from);
      const PointFeature target = book_.point(to);
      feature.SetFID(OGRNullFID);
      feature.SetField(0, utf8_(station.name));
      feature.SetField(1, utf8_(target.name));
      setLine(feature, station, target);
      if (layer.CreateFeature(&feature) != OGRERR_NONE) errors.raise("cannot write a sight line");
    }
    return book_.sightLineCount();
  }

  // A DXF drawing has one OGR layer; each entity names its drawing layer.
  void writeDrawing(OGRLayer& layer, unsigned layers, GisExportSummary& summary, GdalErrors& errors) {
    OGRFeature feature(layer.GetLayerDefn());
    const int layerField = feature.GetFieldIndex("Layer");
    const auto add = [&](const char* drawingLayer) {
      feature.SetFID(OGRNullFID);
      feature.SetField(layerField, drawingLayer);
      if (layer.CreateFeature(&feature) != OGRERR_NONE) errors.raise("cannot write an entity");
    };
    const auto addPoint = [&](const PointFeature& point, const char* drawingLayer) {
      feature.SetStyleString(nullptr);
      setPoint(feature, point);
      add(drawingLayer);
      if (point.name.empty()) return;
      // The name as a TEXT beside the point, 0.5 m high, a little up and right.
      std::string label = "LABEL(f:\"Arial\",s:0.5g,dx:0.3g,dy:0.3g,p:1,t:\"";
      for (const char* c = utf8_(point.name); *c != '\0'; ++c) {
        if (*c == '"' || *c == '\\') label.push_back('\\');
        label.push_back(*c);
      }
      label += "\")";
      feature.SetStyleString(label.c_str());
      add(drawingLayer);
    };
    if (layers & kPointsLayer) {
      for (std::size_t i = 0; i < book_.pointCount(); ++i) addPoint(book_.point(i), "points");
      summary.points = book_.pointCount();
    }
    if (layers & kStationsLayer) {
      for (const std::uint32_t i : book_.stations()) addPoint(book_.point(i), "stations");
      summary.stations = book_.stations().size();
    }
    feature.SetStyleString(nullptr);
    if (layers & kSightLinesLayer) {
      for (std::size_t i = 0; i < book_.sightLineCount(); ++i) {
        const auto [from, to] = book_.sightLine(i);
        setLine(feature, book_.point(from), book_.point(to));
        add("sight_lines");
      }
      summary.sightLines = book_.sightLineCount();
    }
  }

  // CSV "PNEZD": the points, or the set-ups when only they are asked for.
  std::size_t writePnezd(OGRLayer& layer, unsigned layers, GdalErrors& errors) {
    const std::vector<std::uint32_t>* only = layers & kPointsLayer ? nullptr : &book_.stations();
    const std::size_t count = only ? only->size() : book_.pointCount();
    OGRFeature feature(layer.GetLayerDefn());
    for (std::size_t i = 0; i < count; ++i) {
      const PointFeature point = book_.point(only ? (*only)[i] : i);
      feature.SetFID(OGRNullFID);
      feature.SetField(0, utf8_(point.name));
      feature.SetField(1, point.north);
      feature.SetField(2, point.east);
      if (point.elevation) feature.SetField(3, *point.elevation);
      else feature.SetFieldNull(3);
      feature.SetField(4, utf8_(point.code));
      if (layer.CreateFeature(&feature) != OGRERR_NONE) errors.raise("cannot write a point");
    }
    return count;
  }

  bool anyElevation(const std::vector<std::uint32_t>* only) const {
    const std::size_t count = only ? only->size() : book_.pointCount();
    for (std::size_t i = 0; i < count; ++i)
      if (book_.point(only ? (*only)[i] : i).elevation) return true;
    return false;
  }

 private:
  void setOrNull(OGRFeature& feature, int field, std::string_view text) {
    if (text.empty()) feature.SetFieldNull(field);
    else feature.SetField(field, utf8_(text));
  }

  void setPoint(OGRFeature& feature, const PointFeature& point) {
    double x = point.east;
    double y = point.north;
    place(x, y);
    if (point.elevation) feature.SetGeometryDirectly(new OGRPoint(x, y, *point.elevation));
    else feature.SetGeometryDirectly(new OGRPoint(x, y));
  }

  void setLine(OGRFeature& feature, const PointFeature& from, const PointFeature& to) {
    auto* line = new OGRLineString;
    for (const PointFeature* end : {&from, &to}) {
      double x = end->east;
      double y = end->north;
      place(x, y);
      if (from.elevation && to.elevation) line->addPoint(x, y, *end->elevation);
      else line->addPoint(x, y);
    }
    feature.SetGeometryDirectly(line);
  }

  const BookFeatures& book_;
  GisFormat format_;
  const GisExportOptions& options_;
  std::unique_ptr<OGRSpatialReference> source_;
  std::unique_ptr<OGRSpatialReference> target_;
  std::unique_ptr<OGRCoordinateTransformation> transform_;
  Utf8 utf8_;
};

void closeDataset(GDALDataset* dataset, GdalErrors& errors) {
  // Closing writes what GDAL still holds; a failure there is the export's.
  GDALClose(dataset);
  if (errors.failed()) errors.raise("cannot close the file");
}

std::size_t writeLayer(Writer& writer, GDALDataset& dataset, const BookFeatures& book, Layer layer,
                       GdalErrors& errors) {
  const std::string name(LayerName(layer));
  if (layer == kSightLinesLayer) {
    OGRLayer* out = writer.createLayer(dataset, name, wkbLineString25D, kLineFields, book.sightLineCount(), errors);
    return writer.writeSightLines(*out, errors);
  }
  const std::vector<std::uint32_t>* only = layer == kStationsLayer ? &book.stations() : nullptr;
  const std::span<const Field> fields(kPointFields, layer == kPointsLayer ? std::size(kPointFields) : 5);
  OGRLayer* out = writer.createLayer(dataset, name, writer.anyElevation(only) ? wkbPoint25D : wkbPoint, fields,
                                     only ? only->size() : book.pointCount(), errors);
  return writer.writePoints(*out, only, errors);
}

void count(GisExportSummary& summary, Layer layer, std::size_t n) {
  if (layer == kPointsLayer) summary.points = n;
  else if (layer == kStationsLayer) summary.stations = n;
  else summary.sightLines = n;
}

// A target the program may not write fails as any save would, before GDAL
// writes anything: a read-only file, a folder of that name.
void checkTargetsWritable(const std::vector<std::string>& files, bool shapefile) {
  for (const std::string& file : files) {
    std::vector<std::string> set{file};
    if (shapefile) {
      const std::string stem = stemOf(file, "shp");
      for (const char* suffix : {".shx", ".dbf", ".prj", ".cpg"}) set.push_back(stem + suffix);
    }
    for (const std::string& path : set) {
      const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
      if (fd >= 0) ::close(fd);
      else if (errno != ENOENT && errno != ENXIO) throw IoError::fromErrno(errno);
    }
  }
}

// A symbolic link is written through, as a plain open would follow it.
std::string followedLink(const std::string& path) {
  char resolved[PATH_MAX];
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode) || ::realpath(path.c_str(), resolved) == nullptr)
    return path;
  return resolved;
}

}  // namespace

std::span<const GisFormatInfo> GisFormats() { return kFormats; }

const GisFormatInfo& InfoOf(GisFormat format) {
  for (const GisFormatInfo& info : kFormats)
    if (info.format == format) return info;
  return kFormats[0];
}

const GisFormatInfo* FindGisFormat(std::string_view cliWord) {
  for (const GisFormatInfo& info : kFormats)
    if (info.cliWord == cliWord) return &info;
  return nullptr;
}

std::string_view LayerName(Layer layer) {
  switch (layer) {
    case kPointsLayer: return "points";
    case kStationsLayer: return "stations";
    case kSightLinesLayer: return "sight_lines";
  }
  return {};
}

std::optional<unsigned> ParseLayers(std::string_view list) {
  unsigned layers = 0;
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    const std::string_view word = list.substr(0, comma);
    unsigned found = 0;
    for (const Layer layer : kLayers)
      if (LayerName(layer) == word) found = layer;
    if (found == 0) return std::nullopt;
    layers |= found;
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
  }
  if (layers == 0) return std::nullopt;
  return layers;
}

GisError::GisError(GisProblem problem, const std::string& detail)
    : std::runtime_error([&] {
        switch (problem) {
          case GisProblem::UnknownCrs: return "the coordinate system is not known to PROJ: " + detail;
          case GisProblem::CrsNeeded:
            return std::string("GeoJSON and KML hold longitude and latitude: give the book's coordinate system (--crs)");
          case GisProblem::NoLayers: return std::string("no layer chosen");
          case GisProblem::WriteFailed: return "GDAL: " + detail;
        }
        return detail;
      }()),
      problem_(problem),
      detail_(detail) {}

std::string GisErrorText(const GisError& error) {
  switch (error.problem()) {
    case GisProblem::UnknownCrs: return std::string("Система координат не известна PROJ: "_w) + error.detail();
    case GisProblem::CrsNeeded:
      return std::string(
          "GeoJSON и KML хранят долготу и широту: укажите систему координат книги (код EPSG или строку PROJ)"_w);
    case GisProblem::NoLayers: return std::string("Не выбран ни один слой"_w);
    case GisProblem::WriteFailed: return std::string("Ошибка записи GDAL: "_w) + error.detail();
  }
  return error.detail();
}

std::string_view NoCoordinatesText() {
  return "В книге нет точек с координатами: слои записаны пустыми"_w;
}

void CheckCrs(GisFormat format, const std::string& crs) {
  registerDrivers();
  const std::string text = trimmed(crs);
  if (text.empty()) {
    if (InfoOf(format).geographic) throw GisError(GisProblem::CrsNeeded, {});
    return;
  }
  spatialReference(text);
}

std::vector<std::string> TargetFiles(const std::string& path, GisFormat format, unsigned layers) {
  const GisFormatInfo& info = InfoOf(format);
  if (!info.filePerLayer) return {path};
  const std::string stem = stemOf(path, info.extension);
  std::vector<std::string> files;
  for (const Layer layer : kLayers)
    if (layers & layer) files.push_back(stem + "_" + std::string(LayerName(layer)) + dottedExtension(info.extension));
  return files;
}

GisExportSummary ExportGis(const std::string& requested, const BookFeatures& book, GisFormat format,
                           const GisExportOptions& options) {
  const unsigned layers = options.layers & kAllLayers;
  if (layers == 0) throw GisError(GisProblem::NoLayers, {});
  CheckCrs(format, options.crs);
  if (requested.empty()) throw IoError::fromErrno(ENOENT);
  const GisFormatInfo& info = InfoOf(format);
  const std::string path = info.filePerLayer ? requested : followedLink(requested);
  const std::string folder = FolderOf(path);
  checkTargetsWritable(TargetFiles(path, format, layers), format == GisFormat::Shapefile);
  Writer writer(book, format, options);
  GisExportSummary summary;
  summary.noCoordinates = book.pointCount() == 0;
  StagedFiles staged(folder);
  GdalErrors errors;
  std::vector<std::string> sets;
  if (info.filePerLayer) {
    for (const Layer layer : kLayers) {
      if (!(layers & layer)) continue;
      const std::string name = NameOf(TargetFiles(path, format, layer).front());
      GDALDataset* dataset = writer.create(staged.stagedPath(name), errors);
      try {
        count(summary, layer, writeLayer(writer, *dataset, book, layer, errors));
      } catch (...) {
        GDALClose(dataset);
        throw;
      }
      closeDataset(dataset, errors);
      if (format == GisFormat::Shapefile) sets.push_back(stemOf(name, info.extension) + ".");
    }
  } else {
    // The CSV and KML writers make a folder of a name without their extension.
    const std::string name = NameOf(path);
    const std::string writtenName = stemOf(name, info.extension) == name ? name + dottedExtension(info.extension) : name;
    GDALDataset* dataset = writer.create(staged.stagedPath(writtenName), errors);
    try {
      if (format == GisFormat::Dxf) {
        OGRLayer* drawing = dataset->CreateLayer("entities", nullptr, wkbUnknown, nullptr);
        if (drawing == nullptr) errors.raise("cannot create the drawing");
        writer.writeDrawing(*drawing, layers, summary, errors);
      } else if (format == GisFormat::Pnezd) {
        OGRLayer* table = writer.createLayer(*dataset, "points", wkbNone, kPnezdFields, 0, errors);
        const std::size_t n = writer.writePnezd(*table, layers, errors);
        count(summary, layers & kPointsLayer ? kPointsLayer : kStationsLayer, n);
      } else {
        // One transaction for the whole file: a million points in seconds.
        const bool transaction = dataset->StartTransaction() == OGRERR_NONE;
        for (const Layer layer : kLayers)
          if (layers & layer) count(summary, layer, writeLayer(writer, *dataset, book, layer, errors));
        if (transaction && dataset->CommitTransaction() != OGRERR_NONE) errors.raise("cannot commit");
      }
    } catch (...) {
      GDALClose(dataset);
      throw;
    }
    closeDataset(dataset, errors);
    if (writtenName != name && ::rename(staged.stagedPath(writtenName).c_str(), staged.stagedPath(name).c_str()) != 0)
      throw IoError::fromErrno(errno);
  }
  summary.files = staged.commit(sets);
  return summary;
}

}  // namespace quillmar::gis
