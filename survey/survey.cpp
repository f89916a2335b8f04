#include "survey/survey.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <unordered_map>

#include "plan/point_fields.h"
#include "records/cp1251.h"
#include "records/record_layout.h"
#include "records/sdr_field.h"

namespace quillmar::survey {
namespace {

using plan::CoordinateOrder;

// Field books hold at most 16 characters a number; anything larger is a
// typing error, and keeping it out keeps every product below finite.
constexpr double kLargestValue = 1e15;
constexpr double kEarthRadiusMetres = 6371000.0;
constexpr double kFootInMetres = 0.3048;

bool isBlank(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

// A field as the rules read it: a number, nothing at all, or text.
struct Value {
  enum State : std::uint8_t { Number, Empty, Text };
  State state = Empty;
  double number = 0;

  bool ok() const { return state == Number; }
};

Value valueOf(std::string_view field) {
  if (isBlank(field)) return {Value::Empty, 0};
  const auto number = plan::fieldNumber(field);
  if (!number || std::fabs(*number) > kLargestValue) return {Value::Text, 0};
  return {Value::Number, *number};
}

std::optional<double> numberOf(std::string_view field) {
  const Value value = valueOf(field);
  return value.ok() ? std::optional<double>(value.number) : std::nullopt;
}

// The angle unit of a header: the full circle in that unit, 0 when unknown.
double fullCircleOf(char code) {
  switch (code) {
    case '1': return 360.0;
    case '2': return 400.0;
    case '3': return 6400.0;
    default: return 0.0;
  }
}

// x reduced to [0, full).
double reduced(double x, double full) {
  double r = std::fmod(x, full);
  if (r < 0) r += full;
  return r >= full ? 0.0 : r;
}

// x reduced to (-full/2, full/2].
double centred(double x, double full) {
  double r = reduced(x, full);
  return r > full / 2 ? r - full : r;
}

struct Conventions {
  double fullCircle = 360.0;  // 0: the header's angle unit is unknown
  CoordinateOrder order = CoordinateOrder::NorthEast;
  bool counterClockwise = false;
  bool horizonZero = false;
  double earthRadius = kEarthRadiusMetres;
  bool curvatureAndRefraction = false;
  double refraction = 0.14;
  double scale = 1.0;

  double toRadians(double angle) const { return angle * (2 * std::numbers::pi / fullCircle); }
};

struct Coordinates {
  double north = 0;
  double east = 0;
  std::optional<double> elevation;
};

std::string_view placeText(std::string_view line, const KindLayout& kind, FieldId id, char version) {
  const FieldPlace place = PlaceOf(kind, id, version);
  return place.exists() ? FieldText(line, place) : std::string_view();
}

std::string nameOf(std::string_view field) { return std::string(plan::trimmedName(field)); }

// The coordinates a station or position record gives, in true north and east.
std::optional<Coordinates> coordinatesOf(std::string_view line, const KindLayout& kind, char version,
                                         CoordinateOrder order) {
  const auto first = numberOf(placeText(line, kind, FieldId::Coordinate1, version));
  const auto second = numberOf(placeText(line, kind, FieldId::Coordinate2, version));
  if (!first || !second) return std::nullopt;
  Coordinates at;
  at.north = order == CoordinateOrder::NorthEast ? *first : *second;
  at.east = order == CoordinateOrder::NorthEast ? *second : *first;
  at.elevation = numberOf(placeText(line, kind, FieldId::Coordinate3, version));
  return at;
}

const KindLayout* kindOf(const RecordList& list, std::size_t row) {
  return FindKindLayout(list.typeCode(row), list.derivCode(row));
}

// The last recorded coordinates of every name, for stations whose own record
// has none, orientations without an azimuth, and check shots.
std::unordered_map<std::string, Coordinates> recordedPoints(const RecordList& list, std::size_t rows) {
  std::unordered_map<std::string, Coordinates> points;
  CoordinateOrder order = CoordinateOrder::NorthEast;
  for (std::size_t row = 0; row < rows; ++row) {
    const KindLayout* kind = kindOf(list, row);
    if (kind == nullptr) continue;
    if (kind->kind == KindId::Header) {
      if (const auto code = plan::headerCoordinateOrder(list.record(row))) order = *code;
      continue;
    }
    if (kind->kind != KindId::Station && kind->kind != KindId::Position) continue;
    const SurveyRecord record = list.record(row);
    const std::string_view line = record.body.view();
    const auto at = coordinatesOf(line, *kind, record.version, order);
    if (!at) continue;
    points.insert_or_assign(nameOf(placeText(line, *kind, FieldId::PointName, record.version)), *at);
  }
  return points;
}

enum class Face : std::uint8_t { Left, Right, Single };

// An observation read and checked, before it meets its set-up's coordinates.
struct Sighting {
  std::uint32_t row = 0;
  std::string target;
  Face face = Face::Single;
  bool byAzimuth = false;  // MC: the horizontal value is an azimuth
  double horizontal = 0;   // clockwise, in the book's unit
  double zenith = 0;       // from the zenith, in the book's unit, as the face read it
  double slope = 0;
  double targetHeight = 0;
  Conventions conventions;
};

struct SetUp {
  std::string station;
  std::optional<Coordinates> at;
  double instrumentHeight = 0;
  std::optional<double> circleZero;  // in the book's unit
  // Face-left sightings waiting for their face right, by target.
  std::unordered_map<std::string, Sighting> waiting;
};

class Computation {
 public:
  Computation(const RecordList& list, std::size_t rows)
      : list_(list), rows_(rows), recorded_(recordedPoints(list, rows)) {}

  Results run() {
    for (std::size_t row = 0; row < rows_; ++row) {
      const KindLayout* kind = kindOf(list_, row);
      if (kind == nullptr) continue;
      switch (kind->kind) {
        case KindId::Header:
        case KindId::Instrument:
        case KindId::Station:
        case KindId::Target:
        case KindId::ScaleFactor:
        case KindId::Backsight:
        case KindId::Observation:
        case KindId::ObservationByAzimuth:
        case KindId::Job:
        case KindId::ReducedObservation:
          take(*kind, list_.record(row), static_cast<std::uint32_t>(row));
          break;
        default: break;
      }
    }
    endSetUp();
    finish();
    return std::move(results_);
  }

 private:
  void take(const KindLayout& kind, const SurveyRecord& record, std::uint32_t row) {
    const std::string_view line = record.body.view();
    const char version = record.version;
    auto text = [&](FieldId id) { return placeText(line, kind, id, version); };
    auto code = [&](FieldId id) {
      const FieldPlace place = PlaceOf(kind, id, version);
      return place.exists() ? sdrCode(line, place.start) : '\0';
    };
    switch (kind.kind) {
      case KindId::Header: {
        conventions_.fullCircle = fullCircleOf(code(FieldId::AngleUnitCode));
        if (const auto order = plan::headerCoordinateOrder(record)) conventions_.order = *order;
        conventions_.counterClockwise = code(FieldId::AngleDirectionCode) == '2';
        conventions_.earthRadius =
            code(FieldId::DistanceUnitCode) == '2' ? kEarthRadiusMetres / kFootInMetres : kEarthRadiusMetres;
        break;
      }
      case KindId::Instrument: conventions_.horizonZero = code(FieldId::VerticalAngleZeroCode) == '2'; break;
      case KindId::Job:
        if (const char cr = code(FieldId::CrCorrectionCode); cr == '1' || cr == '2')
          conventions_.curvatureAndRefraction = cr == '2';
        if (const char k = code(FieldId::RefractionConstantCode); k == '1' || k == '2')
          conventions_.refraction = k == '1' ? 0.14 : 0.20;
        break;
      case KindId::ScaleFactor:
        // A factor that is no positive number would wipe out every distance.
        if (const auto scale = numberOf(text(FieldId::ScaleFactor)); scale && *scale > 0)
          conventions_.scale = *scale;
        break;
      case KindId::Target: targetHeight_ = numberOf(text(FieldId::TargetHeight)).value_or(0.0); break;
      case KindId::Station: station(line, kind, version); break;
      case KindId::Backsight: backsight(text(FieldId::ToPoint), text(FieldId::Azimuth), text(FieldId::HorizontalAngle)); break;
      case KindId::Observation:
      case KindId::ObservationByAzimuth: observation(kind, record.derivCode.view(), text, row); break;
      case KindId::ReducedObservation: reducedObservation(text, row); break;
      default: break;
    }
  }

  void station(std::string_view line, const KindLayout& kind, char version) {
    endSetUp();
    setUp_.emplace();
    SetUp& setUp = *setUp_;
    setUp.station = nameOf(placeText(line, kind, FieldId::PointName, version));
    setUp.at = coordinatesOf(line, kind, version, conventions_.order);
    if (const auto found = recorded_.find(setUp.station); found != recorded_.end()) {
      if (!setUp.at) setUp.at = found->second;
      else if (!setUp.at->elevation) setUp.at->elevation = found->second.elevation;
    }
    setUp.instrumentHeight = numberOf(placeText(line, kind, FieldId::InstrumentHeight, version)).value_or(0.0);
  }

  void backsight(std::string_view toPoint, std::string_view azimuthField, std::string_view readingField) {
    if (!setUp_) return;
    SetUp& setUp = *setUp_;
    setUp.circleZero.reset();
    const double full = conventions_.fullCircle;
    const auto reading = numberOf(readingField);
    if (full == 0 || !reading) return;
    std::optional<double> azimuth = numberOf(azimuthField);
    if (!azimuth && setUp.at) {
      const auto target = recorded_.find(nameOf(toPoint));
      if (target != recorded_.end()) {
        const double dN = target->second.north - setUp.at->north;
        const double dE = target->second.east - setUp.at->east;
        if (dN != 0 || dE != 0) azimuth = std::atan2(dE, dN) * (full / (2 * std::numbers::pi));
      }
    }
    if (!azimuth) return;
    setUp.circleZero = reduced(*azimuth - clockwise(*reading), full);
  }

  double clockwise(double reading) const {
    return conventions_.counterClockwise ? -reading : reading;
  }

  template <typename Text>
  void observation(const KindLayout& kind, std::string_view derivCode, const Text& text, std::uint32_t row) {
    if (!setUp_) return fail(row, Failure::NoStation);
    const double full = conventions_.fullCircle;
    if (full == 0) return fail(row, Failure::UnknownUnits);
    Sighting seen;
    seen.row = row;
    seen.target = nameOf(text(FieldId::ToPoint));
    seen.byAzimuth = kind.kind == KindId::ObservationByAzimuth;
    seen.face = derivCode == "F1" ? Face::Left : derivCode == "F2" ? Face::Right : Face::Single;
    seen.targetHeight = targetHeight_;
    seen.conventions = conventions_;
    if (seen.target.empty()) return fail(row, Failure::NotANumber);
    const Value slope = valueOf(text(FieldId::SlopeDistance));
    if (slope.state == Value::Text) return fail(row, Failure::NotANumber);
    if (!slope.ok() || slope.number <= 0) return fail(row, Failure::NoDistance);
    const Value vertical = valueOf(text(FieldId::VerticalAngle));
    const Value horizontal = valueOf(text(FieldId::Horizontal));
    if (!vertical.ok() || !horizontal.ok()) return fail(row, Failure::NotANumber);
    seen.slope = slope.number;
    seen.horizontal = reduced(seen.byAzimuth ? horizontal.number : clockwise(horizontal.number), full);
    // An elevation angle v is the zenith angle 90 - v, on either face.
    seen.zenith = reduced(conventions_.horizonZero ? full / 4 - vertical.number : vertical.number, full);
    const double faceLeft = seen.face == Face::Right ? full - seen.zenith : seen.zenith;
    if (!(faceLeft > 0 && faceLeft < full / 2)) return fail(row, Failure::BadAngle);

    SetUp& setUp = *setUp_;
    if (seen.face == Face::Right) {
      const auto waiting = setUp.waiting.find(seen.target);
      if (waiting != setUp.waiting.end()) {
        Sighting left = std::move(waiting->second);
        setUp.waiting.erase(waiting);
        return pair(left, seen);
      }
      return single(seen);
    }
    if (seen.face == Face::Left) {
      // A second face left of the same target: the first stays alone.
      const auto [at, added] = setUp.waiting.try_emplace(seen.target, seen);
      if (!added) {
        single(at->second);
        at->second = std::move(seen);
      }
      return;
    }
    single(seen);
  }

  // One face read as face left.
  void single(const Sighting& seen) {
    const double full = seen.conventions.fullCircle;
    const bool right = seen.face == Face::Right;
    const double horizontal = right ? reduced(seen.horizontal - full / 2, full) : seen.horizontal;
    const double zenith = right ? full - seen.zenith : seen.zenith;
    solve(seen, horizontal, zenith, seen.slope, std::nullopt);
  }

  void pair(const Sighting& left, const Sighting& right) {
    const double full = left.conventions.fullCircle;
    const double turned = right.horizontal - full / 2;
    const double difference = centred(left.horizontal - turned, full);
    FacePair errors;
    errors.point = left.target;
    errors.station = setUp_->station;
    errors.row1 = left.row;
    errors.row2 = right.row;
    errors.collimation = difference / 2;
    errors.index = centred(left.zenith + right.zenith - full, full) / 2;
    results_.pairs.push_back(std::move(errors));
    const double horizontal = reduced(turned + difference / 2, full);
    const double zenith = (left.zenith + (full - right.zenith)) / 2;
    solve(left, horizontal, zenith, (left.slope + right.slope) / 2, right.row);
  }

  // A face-left horizontal reading (or azimuth) and zenith angle in the book's unit.
  void solve(const Sighting& seen, double horizontal, double zenith, double slope,
             std::optional<std::uint32_t> pairRow) {
    const SetUp& setUp = *setUp_;
    const Conventions& units = seen.conventions;
    const std::uint32_t row = seen.row;
    if (!setUp.at) return fail(row, Failure::NoStationCoordinates);
    double azimuth = horizontal;
    if (!seen.byAzimuth) {
      if (!setUp.circleZero) return fail(row, Failure::NoOrientation);
      azimuth = *setUp.circleZero + horizontal;
    }
    const double z = units.toRadians(zenith);
    const double sine = std::sin(z);
    const double cosine = std::cos(z);
    // The horizontal distance over the curved earth, refraction included;
    // the job's C&R switch governs the height difference only.
    const double level =
        slope * sine - (1 - units.refraction / 2) * slope * slope * sine * cosine / units.earthRadius;
    // Only a sight longer than the earth is wide turns the term round.
    if (!(level > 0)) return fail(row, Failure::NoDistance);
    double rise = slope * cosine;
    if (units.curvatureAndRefraction)
      rise += (1 - units.refraction) * slope * slope * sine * sine / (2 * units.earthRadius);
    place(seen.target, units.toRadians(azimuth), level * units.scale, rise, seen.targetHeight,
          seen.byAzimuth ? Method::Azimuth : Method::Polar, row, pairRow);
  }

  template <typename Text>
  void reducedObservation(const Text& text, std::uint32_t row) {
    if (!setUp_) return fail(row, Failure::NoStation);
    if (conventions_.fullCircle == 0) return fail(row, Failure::UnknownUnits);
    const std::string target = nameOf(text(FieldId::ToPoint));
    if (target.empty()) return fail(row, Failure::NotANumber);
    const Value distance = valueOf(text(FieldId::HorizontalDistance));
    if (distance.state == Value::Text) return fail(row, Failure::NotANumber);
    if (!distance.ok() || distance.number <= 0) return fail(row, Failure::NoDistance);
    const auto azimuth = numberOf(text(FieldId::Azimuth));
    if (!azimuth) return fail(row, Failure::NotANumber);
    if (!setUp_->at) return fail(row, Failure::NoStationCoordinates);
    const auto rise = numberOf(text(FieldId::VerticalDistance));
    place(target, conventions_.toRadians(*azimuth), distance.number * conventions_.scale, rise, targetHeight_,
          Method::Reduced, row, std::nullopt);
  }

  void place(const std::string& target, double azimuth, double distance, std::optional<double> rise,
             double targetHeight, Method method, std::uint32_t row, std::optional<std::uint32_t> pairRow) {
    const SetUp& setUp = *setUp_;
    Solution solution;
    solution.point = target;
    solution.station = setUp.station;
    solution.north = setUp.at->north + distance * std::cos(azimuth);
    solution.east = setUp.at->east + distance * std::sin(azimuth);
    if (setUp.at->elevation && rise)
      solution.elevation = *setUp.at->elevation + setUp.instrumentHeight + *rise - targetHeight;
    solution.method = method;
    solution.row = row;
    solution.pairRow = pairRow;
    if (!std::isfinite(solution.north) || !std::isfinite(solution.east) ||
        (solution.elevation && !std::isfinite(*solution.elevation)))
      return fail(row, Failure::NotANumber);
    if (const auto known = recorded_.find(target); known != recorded_.end()) {
      solution.method = Method::Check;
      solution.dNorth = solution.north - known->second.north;
      solution.dEast = solution.east - known->second.east;
      if (solution.elevation && known->second.elevation)
        solution.dElevation = *solution.elevation - *known->second.elevation;
    }
    results_.solutions.push_back(std::move(solution));
  }

  void fail(std::uint32_t row, Failure reason) { results_.failures.push_back({row, reason}); }

  // Face lefts that found no face right count alone.
  void endSetUp() {
    if (!setUp_) return;
    std::vector<Sighting> alone;
    alone.reserve(setUp_->waiting.size());
    for (auto& [name, seen] : setUp_->waiting) alone.push_back(std::move(seen));
    setUp_->waiting.clear();
    std::sort(alone.begin(), alone.end(), [](const Sighting& a, const Sighting& b) { return a.row < b.row; });
    for (const Sighting& seen : alone) single(seen);
  }

  void finish() {
    auto byRow = [](const auto& a, const auto& b) { return a.row < b.row; };
    std::stable_sort(results_.solutions.begin(), results_.solutions.end(), byRow);
    std::stable_sort(results_.failures.begin(), results_.failures.end(), byRow);
    std::stable_sort(results_.pairs.begin(), results_.pairs.end(),
                     [](const FacePair& a, const FacePair& b) { return a.row1 < b.row1; });
    meanPoints();
  }

  void meanPoints() {
    struct Sums {
      double north = 0, east = 0, elevation = 0;
      std::uint32_t elevations = 0;
    };
    std::unordered_map<std::string_view, std::size_t> index;
    std::vector<Sums> sums;
    std::vector<ComputedPoint>& points = results_.points;
    // Sums of differences from the first solution keep the digits of large coordinates.
    for (const Solution& solution : results_.solutions) {
      if (solution.method == Method::Check) continue;
      const auto [at, added] = index.try_emplace(solution.point, points.size());
      if (added) {
        ComputedPoint point;
        point.point = solution.point;
        point.north = solution.north;
        point.east = solution.east;
        point.elevation = solution.elevation;
        points.push_back(std::move(point));
        sums.emplace_back();
      }
      ComputedPoint& point = points[at->second];
      Sums& sum = sums[at->second];
      ++point.solutions;
      point.lastRow = std::max({point.lastRow, solution.row, solution.pairRow.value_or(0)});
      sum.north += solution.north - point.north;
      sum.east += solution.east - point.east;
      if (solution.elevation) {
        if (!point.elevation) point.elevation = solution.elevation;
        sum.elevation += *solution.elevation - *point.elevation;
        ++sum.elevations;
      }
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
      ComputedPoint& point = points[i];
      point.north += sums[i].north / point.solutions;
      point.east += sums[i].east / point.solutions;
      if (point.elevation) *point.elevation += sums[i].elevation / sums[i].elevations;
    }
    for (const Solution& solution : results_.solutions) {
      if (solution.method == Method::Check) continue;
      ComputedPoint& point = points[index.at(solution.point)];
      point.spread = std::max(point.spread, std::hypot(solution.north - point.north, solution.east - point.east));
    }
  }

  const RecordList& list_;
  std::size_t rows_;
  const std::unordered_map<std::string, Coordinates> recorded_;
  Conventions conventions_;
  double targetHeight_ = 0;
  std::optional<SetUp> setUp_;
  Results results_;
};

}  // namespace

std::size_t Results::checkShots() const {
  return static_cast<std::size_t>(std::count_if(solutions.begin(), solutions.end(),
                                                [](const Solution& s) { return s.method == Method::Check; }));
}

Results Compute(const RecordList& list, std::size_t rows) {
  return Computation(list, std::min(rows, list.size())).run();
}

std::string_view MethodWord(Method method) {
  switch (method) {
    case Method::Polar: return "polar";
    case Method::Azimuth: return "azimuth";
    case Method::Reduced: return "reduced";
    case Method::Check: return "check";
  }
  return "polar";
}

std::string_view FailureText(Failure reason) {
  switch (reason) {
    case Failure::NoStation: return "Наблюдение до первой станции"_w;
    case Failure::NoStationCoordinates: return "Нет координат станции"_w;
    case Failure::NoOrientation: return "Нет ориентирования"_w;
    case Failure::NoDistance: return "Нет расстояния"_w;
    case Failure::NotANumber: return "Поле пусто или не число"_w;
    case Failure::UnknownUnits: return "Неизвестная единица углов"_w;
    case Failure::BadAngle: return "Недопустимый угол"_w;
  }
  return {};
}

std::string_view FailureWord(Failure reason) {
  switch (reason) {
    case Failure::NoStation: return "no station";
    case Failure::NoStationCoordinates: return "no station coordinates";
    case Failure::NoOrientation: return "no orientation";
    case Failure::NoDistance: return "no distance";
    case Failure::NotANumber: return "a field is empty or not a number";
    case Failure::UnknownUnits: return "unknown angle unit";
    case Failure::BadAngle: return "angle out of range";
  }
  return {};
}

}  // namespace quillmar::survey
