#include "survey/survey.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>

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
constexpr std::uint32_t kNone = 0xFFFFFFFF;
// How many look-ups ahead a name's slot is asked for.
constexpr std::size_t kAhead = 8;

// One comparison for the usual character, which is no blank.
bool isBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ' && (c == ' ' || c == '\t' || c == '\r' || c == '\n');
}

template <typename Word>
bool endsInSpaces(std::string_view text) {
  Word last;
  std::memcpy(&last, text.data() + text.size() - sizeof last, sizeof last);
  return last == static_cast<Word>(0x2020202020202020);
}

// Fields are padded with spaces to their width: the padding goes eight or
// four at a time.
std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (text.size() >= 8 && endsInSpaces<std::uint64_t>(text)) text.remove_suffix(8);
  if (text.size() >= 4 && endsInSpaces<std::uint32_t>(text)) text.remove_suffix(4);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// A field as the rules read it: a number, nothing at all, or text.
struct Value {
  enum State : std::uint8_t { Number, Empty, Text };
  State state = Empty;
  double number = 0;

  bool ok() const { return state == Number; }
};

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Plain decimals ("-123.4567") are read here: a mantissa below 2^53 over an
// exact power of ten is one correctly rounded division, the same double that
// from_chars gives. Anything else goes to the plan's reading of numbers.
Value valueOfText(std::string_view text) {
  std::size_t at = 0;
  const bool negative = text[0] == '-';
  if (negative || text[0] == '+') ++at;
  std::uint64_t mantissa = 0;
  int digits = 0, decimals = 0;
  bool point = false, plain = at < text.size();
  for (; at < text.size() && plain; ++at) {
    const char c = text[at];
    if (c >= '0' && c <= '9') {
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
      if (point) ++decimals;
      plain = ++digits <= 15;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      plain = false;
    }
  }
  if (plain && digits > 0 && (!point || decimals > 0) && decimals <= 22) {
    const double value = static_cast<double>(mantissa) / kPowersOfTen[decimals];
    if (value <= kLargestValue) return {Value::Number, negative ? -value : value};
    return {Value::Text, 0};
  }
  const auto number = plan::fieldNumber(text);
  if (!number || std::fabs(*number) > kLargestValue) return {Value::Text, 0};
  return {Value::Number, *number};
}

// The digits from `at` on, added to `value`; how many there were.
std::size_t readDigits(std::string_view text, std::size_t at, std::uint64_t& value) {
  const char* const start = text.data() + at;
  const char* const end = text.data() + text.size();
  const char* next = start;
  for (unsigned digit; next != end && (digit = static_cast<unsigned char>(*next) - unsigned{'0'}) <= 9; ++next)
    value = value * 10 + digit;
  return static_cast<std::size_t>(next - start);
}

// The common field, at most 15 digits with or without a point, in one walk
// over its characters: the same double valueOfText() gives, nullopt for
// anything else.
std::optional<Value> plainDecimal(std::string_view text) {
  const bool negative = text[0] == '-';
  std::size_t at = negative || text[0] == '+' ? 1 : 0;
  std::uint64_t mantissa = 0;
  const std::size_t whole = readDigits(text, at, mantissa);
  at += whole;
  std::size_t decimals = 0;
  if (at < text.size() && text[at] == '.') {
    decimals = readDigits(text, ++at, mantissa);
    if (decimals == 0) return std::nullopt;
    at += decimals;
  }
  if (at != text.size() || whole + decimals == 0 || whole + decimals > 15) return std::nullopt;
  const double value = static_cast<double>(mantissa) / kPowersOfTen[decimals];
  return Value{Value::Number, negative ? -value : value};
}

Value valueOf(std::string_view field) {
  const std::string_view text = trimmed(field);
  if (text.empty()) return {Value::Empty, 0};
  if (const auto plain = plainDecimal(text)) return *plain;
  return valueOfText(text);
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
  // Most readings are in range already, and fmod would give them back unchanged.
  if (x >= 0 && x < full) return x;
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

// Every place the computation reads, for one layout, from the layout table.
struct Places {
  FieldPlace angleUnit, distanceUnit, order, direction, verticalZero, crCorrection, refraction;
  FieldPlace stationName, station1, station2, station3, instrumentHeight;
  FieldPlace positionName, position1, position2, position3;
  FieldPlace targetHeight, scale;
  FieldPlace backsightTo, backsightAzimuth, backsightReading;
  FieldPlace observedTo, slope, vertical, horizontal;
  FieldPlace reducedTo, reducedAzimuth, reducedDistance, reducedRise;
};

constexpr Places placesIn(char version) {
  auto at = [version](KindId kind, FieldId id) { return FieldOf(kind, id).in(version); };
  using K = KindId;
  using F = FieldId;
  return {at(K::Header, F::AngleUnitCode),
          at(K::Header, F::DistanceUnitCode),
          at(K::Header, F::CoordinateOrderCode),
          at(K::Header, F::AngleDirectionCode),
          at(K::Instrument, F::VerticalAngleZeroCode),
          at(K::Job, F::CrCorrectionCode),
          at(K::Job, F::RefractionConstantCode),
          at(K::Station, F::PointName),
          at(K::Station, F::Coordinate1),
          at(K::Station, F::Coordinate2),
          at(K::Station, F::Coordinate3),
          at(K::Station, F::InstrumentHeight),
          at(K::Position, F::PointName),
          at(K::Position, F::Coordinate1),
          at(K::Position, F::Coordinate2),
          at(K::Position, F::Coordinate3),
          at(K::Target, F::TargetHeight),
          at(K::ScaleFactor, F::ScaleFactor),
          at(K::Backsight, F::ToPoint),
          at(K::Backsight, F::Azimuth),
          at(K::Backsight, F::HorizontalAngle),
          at(K::Observation, F::ToPoint),
          at(K::Observation, F::SlopeDistance),
          at(K::Observation, F::VerticalAngle),
          at(K::Observation, F::Horizontal),
          at(K::ReducedObservation, F::ToPoint),
          at(K::ReducedObservation, F::Azimuth),
          at(K::ReducedObservation, F::HorizontalDistance),
          at(K::ReducedObservation, F::VerticalDistance)};
}

constexpr Places kPlaces3 = placesIn(kVersionSdr3);
constexpr Places kPlaces2 = placesIn(kVersionSdr2);
constexpr Places kNoPlaces{};

const Places& placesOf(char version) {
  if (version == kVersionSdr3) return kPlaces3;
  if (version == kVersionSdr2) return kPlaces2;
  return kNoPlaces;
}

char codeAt(std::string_view line, FieldPlace place) { return place.exists() ? sdrCode(line, place.start) : '\0'; }

// The record kinds the computation reads, told by their type code.
enum class Kind : std::uint8_t { Other, Header, Instrument, Station, Target, Scale, Backsight, Position, Observation,
                                 Job, Reduced };

constexpr bool is(std::string_view code, KindId kind) { return code == LayoutOf(kind).typeCode; }

Kind kindOf(std::string_view code) {
  if (code.size() != 2 || code[0] < '0' || code[0] > '1') return Kind::Other;
  if (is(code, KindId::Observation)) return Kind::Observation;
  if (is(code, KindId::Position)) return Kind::Position;
  if (is(code, KindId::Station)) return Kind::Station;
  if (is(code, KindId::Target)) return Kind::Target;
  if (is(code, KindId::Backsight)) return Kind::Backsight;
  if (is(code, KindId::ReducedObservation)) return Kind::Reduced;
  if (is(code, KindId::Header)) return Kind::Header;
  if (is(code, KindId::Instrument)) return Kind::Instrument;
  if (is(code, KindId::ScaleFactor)) return Kind::Scale;
  if (is(code, KindId::Job)) return Kind::Job;
  return Kind::Other;
}

std::optional<CoordinateOrder> orderOf(char code) {
  if (code == '1') return CoordinateOrder::NorthEast;
  if (code == '2') return CoordinateOrder::EastNorth;
  return std::nullopt;
}

// The coordinates a station or position record gives, in true north and east.
std::optional<Coordinates> coordinatesOf(std::string_view line, FieldPlace first, FieldPlace second,
                                         FieldPlace third, CoordinateOrder order) {
  const auto one = numberOf(FieldText(line, first));
  if (!one) return std::nullopt;
  const auto two = numberOf(FieldText(line, second));
  if (!two) return std::nullopt;
  Coordinates at;
  at.north = order == CoordinateOrder::NorthEast ? *one : *two;
  at.east = order == CoordinateOrder::NorthEast ? *two : *one;
  at.elevation = numberOf(FieldText(line, third));
  return at;
}

// Point names (at most 16 bytes in either layout) to numbers. The name is
// kept in its slot, so a look-up costs one cache miss where a table of
// views into the records would cost three: a million-record book has
// hundreds of thousands of names.
class NameTable {
 public:
  static constexpr std::size_t kLongestName = 16;

  explicit NameTable(std::size_t expected = 0) { allocate(std::bit_ceil(expected * 3 / 2 + 16)); }

  // The look-up of `name` starts: what is done before find() or insert()
  // hides the cache miss.
  void prefetch(std::string_view name) const {
    __builtin_prefetch(&slots_[Key(name).hash() & (slots_.size() - 1)]);
  }

  const std::uint32_t* find(std::string_view name) const {
    const Key key(name);
    const Slot& slot = slots_[slotOf(key)];
    return slot.length == kEmpty ? nullptr : &slot.value;
  }

  // The number of `name`, `value` when it had none.
  std::uint32_t& insert(std::string_view name, std::uint32_t value) {
    if ((size_ + 1) * 10 > slots_.size() * 7) grow();
    const Key key(name);
    Slot& slot = slots_[slotOf(key)];
    if (slot.length == kEmpty) {
      slot = {key.first, key.second, value, key.length};
      ++size_;
    }
    return slot.value;
  }

 private:
  static constexpr std::uint8_t kEmpty = 0xFF;

  struct Key {
    std::uint64_t first = 0, second = 0;
    std::uint8_t length = 0;
    explicit Key(std::string_view name) : length(static_cast<std::uint8_t>(std::min(name.size(), kLongestName))) {
      char bytes[kLongestName] = {};
      std::copy_n(name.data(), length, bytes);
      std::memcpy(&first, bytes, 8);
      std::memcpy(&second, bytes + 8, 8);
    }
    std::size_t hash() const {
      std::uint64_t h = (first * 0x9E3779B97F4A7C15ull) ^ (second * 0xC2B2AE3D27D4EB4Full) ^ length;
      h ^= h >> 32;
      h *= 0xD6E8FEB86659FD93ull;
      return static_cast<std::size_t>(h ^ (h >> 32));
    }
  };
  struct Slot {
    std::uint64_t first = 0, second = 0;
    std::uint32_t value = 0;
    std::uint8_t length = kEmpty;
  };

  std::size_t slotOf(const Key& key) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = key.hash() & mask;; at = (at + 1) & mask) {
      const Slot& slot = slots_[at];
      if (slot.length == kEmpty ||
          (slot.first == key.first && slot.second == key.second && slot.length == key.length))
        return at;
    }
  }

  void allocate(std::size_t slots) {
    slots_.resize(slots);
  }

  void grow() {
    std::vector<Slot> old;
    old.swap(slots_);
    allocate(old.size() * 2);
    for (const Slot& slot : old) {
      if (slot.length == kEmpty) continue;
      const std::size_t mask = slots_.size() - 1;
      Key key{std::string_view()};
      key.first = slot.first;
      key.second = slot.second;
      key.length = slot.length;
      std::size_t at = key.hash() & mask;
      while (slots_[at].length != kEmpty) at = (at + 1) & mask;
      slots_[at] = slot;
    }
  }

  std::vector<Slot> slots_;
  std::size_t size_ = 0;
};

static_assert(kPlaces3.stationName.width <= NameTable::kLongestName &&
              kPlaces3.positionName.width <= NameTable::kLongestName &&
              kPlaces3.observedTo.width <= NameTable::kLongestName &&
              kPlaces3.reducedTo.width <= NameTable::kLongestName &&
              kPlaces3.backsightTo.width <= NameTable::kLongestName &&
              kPlaces2.stationName.width <= NameTable::kLongestName &&
              kPlaces2.positionName.width <= NameTable::kLongestName &&
              kPlaces2.observedTo.width <= NameTable::kLongestName &&
              kPlaces2.reducedTo.width <= NameTable::kLongestName &&
              kPlaces2.backsightTo.width <= NameTable::kLongestName,
              "a name field is wider than the name table holds");

// The last recorded coordinates of every name, for stations whose own record
// has none, orientations without an azimuth, and check shots. The names are
// views into the list's own bytes.
class RecordedPoints {
 public:
  RecordedPoints(const RecordList& list, std::size_t rows) { read(list, rows); }

  // Observations of any kind in the rows read: at most as many solutions.
  std::size_t observations() const { return observations_; }

  void prefetch(std::string_view name) const { index_.prefetch(name); }

  const Coordinates* find(std::string_view name) const {
    const std::uint32_t* at = index_.find(name);
    return at ? &coordinates_[*at] : nullptr;
  }

 private:
  void read(const RecordList& list, std::size_t rows) {
    std::vector<Named> named = namedIn(list, rows);
    // Sized once for all the names: no growing, and each slot is asked for a few points ahead.
    index_ = NameTable(named.size());
    coordinates_.reserve(named.size());
    for (std::size_t i = 0; i < named.size(); ++i) {
      if (i + kAhead < named.size()) index_.prefetch(named[i + kAhead].name);
      const auto next = static_cast<std::uint32_t>(coordinates_.size());
      const std::uint32_t entry = index_.insert(named[i].name, next);
      if (entry == next) coordinates_.push_back(named[i].at);
      else coordinates_[entry] = named[i].at;  // the last of a name wins
    }
  }

  struct Named {
    std::string_view name;
    Coordinates at;
  };

  // Every station and position with coordinates, in row order.
  std::vector<Named> namedIn(const RecordList& list, std::size_t rows) {
    std::vector<Named> named;
    CoordinateOrder order = CoordinateOrder::NorthEast;
    for (std::size_t row = 0; row < rows; ++row) {
      const Kind kind = kindOf(list.typeCode(row));
      if (kind == Kind::Observation || kind == Kind::Reduced) ++observations_;
      if (kind != Kind::Header && kind != Kind::Station && kind != Kind::Position) continue;
      const std::string_view line = list.body(row);
      const Places& places = placesOf(list.version(row));
      if (kind == Kind::Header) {
        if (const auto code = orderOf(codeAt(line, places.order))) order = *code;
        continue;
      }
      const bool station = kind == Kind::Station;
      const std::string_view name = trimmed(FieldText(line, station ? places.stationName : places.positionName));
      const auto at = station ? coordinatesOf(line, places.station1, places.station2, places.station3, order)
                              : coordinatesOf(line, places.position1, places.position2, places.position3, order);
      if (at && !name.empty()) named.push_back({name, *at});
    }
    return named;
  }

  std::vector<Coordinates> coordinates_;
  std::size_t observations_ = 0;
  NameTable index_;
};

enum class Face : std::uint8_t { Left, Right, Single };

// An observation read and checked, before it meets its set-up's coordinates.
struct Sighting {
  std::uint32_t row = 0;
  std::string_view target;
  Face face = Face::Single;
  bool byAzimuth = false;  // MC: the horizontal value is an azimuth
  double horizontal = 0;   // clockwise, in the book's unit
  double zenith = 0;       // from the zenith, in the book's unit, as the face read it
  double slope = 0;
  double targetHeight = 0;
  Conventions conventions;
};

// A face left waiting for its face right: solved alone already, so that
// solutions come in row order; its pair replaces that solution.
struct Waiting {
  Sighting seen;
  std::uint32_t solution = kNone;  // its index in the results, or kNone
  Failure failure = Failure::NotANumber;  // why it gave nothing, where it did
  bool paired = false;
};

// The face lefts of one set-up by target. Open addressing as in the plan's
// name index; a set-up ends by moving on to a new generation, not by
// clearing the table.
class WaitingFaces {
 public:
  void clear() {
    waiting_.clear();
    if (++generation_ == 0) {
      slots_.assign(slots_.size(), Slot{});
      generation_ = 1;
    }
  }

  Waiting* find(std::string_view name) {
    if (slots_.empty()) return nullptr;
    const Slot& slot = slots_[slotOf(name, hashOf(name))];
    return slot.generation == generation_ ? &waiting_[slot.entry] : nullptr;
  }

  // A later face left of a target takes the earlier one's place.
  void add(Waiting waiting) {
    if ((waiting_.size() + 1) * 2 > slots_.size()) grow();
    const std::size_t hash = hashOf(waiting.seen.target);
    Slot& slot = slots_[slotOf(waiting.seen.target, hash)];
    if (slot.generation == generation_) {
      waiting_[slot.entry] = std::move(waiting);
      return;
    }
    slot = {static_cast<std::uint32_t>(waiting_.size()), static_cast<std::uint32_t>(hash >> 32), generation_};
    waiting_.push_back(std::move(waiting));
  }

 private:
  struct Slot {
    std::uint32_t entry = 0;
    std::uint32_t tag = 0;
    std::uint32_t generation = 0;  // the slot is empty in any other generation
  };

  static std::size_t hashOf(std::string_view name) { return std::hash<std::string_view>{}(name); }

  std::size_t slotOf(std::string_view name, std::size_t hash) const {
    const auto tag = static_cast<std::uint32_t>(hash >> 32);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
      const Slot& slot = slots_[at];
      if (slot.generation != generation_ || (slot.tag == tag && waiting_[slot.entry].seen.target == name)) return at;
    }
  }

  void grow() {
    slots_.assign(std::bit_ceil(std::max<std::size_t>(64, slots_.size() * 2)), Slot{});
    for (std::size_t entry = 0; entry < waiting_.size(); ++entry) {
      const std::size_t hash = hashOf(waiting_[entry].seen.target);
      slots_[slotOf(waiting_[entry].seen.target, hash)] = {static_cast<std::uint32_t>(entry),
                                                           static_cast<std::uint32_t>(hash >> 32), generation_};
    }
  }

  std::vector<Waiting> waiting_;
  std::vector<Slot> slots_;
  std::uint32_t generation_ = 1;
};

struct SetUp {
  std::string_view station;
  std::optional<Coordinates> at;
  double instrumentHeight = 0;
  std::optional<double> circleZero;  // in the book's unit
};

class Computation {
 public:
  Computation(const RecordList& list, std::size_t rows) : list_(list), rows_(rows), recorded_(list, rows) {}

  Results run() {
    results_.solutions.reserve(recorded_.observations());
    results_.pairs.reserve(recorded_.observations() / 2);
    for (std::size_t row = 0; row < rows_; ++row) {
      const Kind kind = kindOf(list_.typeCode(row));
      if (kind != Kind::Other) take(kind, list_.body(row), list_.version(row), static_cast<std::uint32_t>(row));
    }
    if (!std::is_sorted(results_.pairs.begin(), results_.pairs.end(), byFirstRow)) {
      std::stable_sort(results_.pairs.begin(), results_.pairs.end(), byFirstRow);
    }
    markCheckShots();
    meanPoints();
    return std::move(results_);
  }

 private:
  static bool byFirstRow(const FacePair& a, const FacePair& b) { return a.row1 < b.row1; }

  void take(Kind kind, std::string_view line, char version, std::uint32_t row) {
    const Places& places = placesOf(version);
    switch (kind) {
      case Kind::Header: {
        conventions_.fullCircle = fullCircleOf(codeAt(line, places.angleUnit));
        if (const auto order = orderOf(codeAt(line, places.order))) conventions_.order = *order;
        conventions_.counterClockwise = codeAt(line, places.direction) == '2';
        conventions_.earthRadius =
            codeAt(line, places.distanceUnit) == '2' ? kEarthRadiusMetres / kFootInMetres : kEarthRadiusMetres;
        break;
      }
      case Kind::Instrument: conventions_.horizonZero = codeAt(line, places.verticalZero) == '2'; break;
      case Kind::Job:
        if (const char cr = codeAt(line, places.crCorrection); cr == '1' || cr == '2')
          conventions_.curvatureAndRefraction = cr == '2';
        if (const char k = codeAt(line, places.refraction); k == '1' || k == '2')
          conventions_.refraction = k == '1' ? 0.14 : 0.20;
        break;
      case Kind::Scale:
        // A factor that is no positive number would wipe out every distance.
        if (const auto scale = numberOf(FieldText(line, places.scale)); scale && *scale > 0)
          conventions_.scale = *scale;
        break;
      case Kind::Target: targetHeight_ = numberOf(FieldText(line, places.targetHeight)).value_or(0.0); break;
      case Kind::Station: station(line, places); break;
      case Kind::Backsight: backsight(line, places); break;
      case Kind::Observation: observation(line, places, list_.derivCode(row), row); break;
      case Kind::Reduced: reducedObservation(line, places, row); break;
      case Kind::Position:
      case Kind::Other: break;
    }
  }

  void station(std::string_view line, const Places& places) {
    waiting_.clear();
    setUp_.emplace();
    SetUp& setUp = *setUp_;
    setUp.station = trimmed(FieldText(line, places.stationName));
    setUp.at = coordinatesOf(line, places.station1, places.station2, places.station3, conventions_.order);
    if (const Coordinates* found = recorded_.find(setUp.station)) {
      if (!setUp.at) setUp.at = *found;
      else if (!setUp.at->elevation) setUp.at->elevation = found->elevation;
    }
    setUp.instrumentHeight = numberOf(FieldText(line, places.instrumentHeight)).value_or(0.0);
  }

  void backsight(std::string_view line, const Places& places) {
    if (!setUp_) return;
    SetUp& setUp = *setUp_;
    setUp.circleZero.reset();
    const double full = conventions_.fullCircle;
    const auto reading = numberOf(FieldText(line, places.backsightReading));
    if (full == 0 || !reading) return;
    std::optional<double> azimuth = numberOf(FieldText(line, places.backsightAzimuth));
    if (!azimuth && setUp.at) {
      if (const Coordinates* target = recorded_.find(trimmed(FieldText(line, places.backsightTo)))) {
        const double dN = target->north - setUp.at->north;
        const double dE = target->east - setUp.at->east;
        if (dN != 0 || dE != 0) azimuth = std::atan2(dE, dN) * (full / (2 * std::numbers::pi));
      }
    }
    if (!azimuth) return;
    setUp.circleZero = reduced(*azimuth - clockwise(*reading), full);
  }

  double clockwise(double reading) const { return conventions_.counterClockwise ? -reading : reading; }

  void observation(std::string_view line, const Places& places, std::string_view derivCode, std::uint32_t row) {
    const bool byAzimuth = LayoutOf(KindId::ObservationByAzimuth).takes(derivCode);
    if (!byAzimuth && !LayoutOf(KindId::Observation).takes(derivCode)) return;
    if (!setUp_) return fail(row, Failure::NoStation);
    const double full = conventions_.fullCircle;
    if (full == 0) return fail(row, Failure::UnknownUnits);
    Sighting seen;
    seen.row = row;
    seen.target = trimmed(FieldText(line, places.observedTo));
    seen.byAzimuth = byAzimuth;
    seen.face = derivCode == "F1" ? Face::Left : derivCode == "F2" ? Face::Right : Face::Single;
    seen.targetHeight = targetHeight_;
    seen.conventions = conventions_;
    if (seen.target.empty()) return fail(row, Failure::NotANumber);
    const Value slope = valueOf(FieldText(line, places.slope));
    if (slope.state == Value::Text) return fail(row, Failure::NotANumber);
    if (!slope.ok() || slope.number <= 0) return fail(row, Failure::NoDistance);
    const Value vertical = valueOf(FieldText(line, places.vertical));
    const Value horizontal = valueOf(FieldText(line, places.horizontal));
    if (!vertical.ok() || !horizontal.ok()) return fail(row, Failure::NotANumber);
    seen.slope = slope.number;
    seen.horizontal = reduced(byAzimuth ? horizontal.number : clockwise(horizontal.number), full);
    // An elevation angle v is the zenith angle 90 - v, on either face.
    seen.zenith = reduced(conventions_.horizonZero ? full / 4 - vertical.number : vertical.number, full);
    const double faceLeft = seen.face == Face::Right ? full - seen.zenith : seen.zenith;
    if (!(faceLeft > 0 && faceLeft < full / 2)) return fail(row, Failure::BadAngle);

    if (seen.face == Face::Right) {
      Waiting* left = waiting_.find(seen.target);
      if (left != nullptr && !left->paired) {
        left->paired = true;
        return pair(*left, seen);
      }
    }
    Waiting alone{seen};
    Solution solution;
    if (const auto failure = single(seen, solution)) {
      fail(row, *failure);
      alone.failure = *failure;
    } else {
      alone.solution = static_cast<std::uint32_t>(results_.solutions.size());
      results_.solutions.push_back(std::move(solution));
    }
    if (seen.face == Face::Left) waiting_.add(std::move(alone));
  }

  // One face read as face left.
  std::optional<Failure> single(const Sighting& seen, Solution& solution) {
    const double full = seen.conventions.fullCircle;
    const bool right = seen.face == Face::Right;
    const double horizontal = right ? reduced(seen.horizontal - full / 2, full) : seen.horizontal;
    const double zenith = right ? full - seen.zenith : seen.zenith;
    return solve(seen, horizontal, zenith, seen.slope, std::nullopt, solution);
  }

  void pair(const Waiting& left, const Sighting& right) {
    const Sighting& first = left.seen;
    const double full = first.conventions.fullCircle;
    const double turned = right.horizontal - full / 2;
    const double difference = centred(first.horizontal - turned, full);
    FacePair errors;
    errors.point = std::string(first.target);
    errors.station = std::string(setUp_->station);
    errors.row1 = first.row;
    errors.row2 = right.row;
    errors.collimation = difference / 2;
    errors.index = centred(first.zenith + right.zenith - full, full) / 2;
    results_.pairs.push_back(std::move(errors));
    // The face left alone gave nothing: the set-up gives the pair nothing for the same reason.
    if (left.solution == kNone) return fail(right.row, left.failure);
    const double horizontal = reduced(turned + difference / 2, full);
    const double zenith = (first.zenith + (full - right.zenith)) / 2;
    Solution solution;
    if (const auto failure = solve(first, horizontal, zenith, (first.slope + right.slope) / 2, right.row, solution))
      return fail(right.row, *failure);
    results_.solutions[left.solution] = std::move(solution);
  }

  // A face-left horizontal reading (or azimuth) and zenith angle in the book's unit.
  std::optional<Failure> solve(const Sighting& seen, double horizontal, double zenith, double slope,
                               std::optional<std::uint32_t> pairRow, Solution& solution) {
    const SetUp& setUp = *setUp_;
    const Conventions& units = seen.conventions;
    if (!setUp.at) return Failure::NoStationCoordinates;
    double azimuth = horizontal;
    if (!seen.byAzimuth) {
      if (!setUp.circleZero) return Failure::NoOrientation;
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
    if (!(level > 0)) return Failure::NoDistance;
    double rise = slope * cosine;
    if (units.curvatureAndRefraction)
      rise += (1 - units.refraction) * slope * slope * sine * sine / (2 * units.earthRadius);
    return place(seen.target, units.toRadians(azimuth), level * units.scale, rise, seen.targetHeight,
                 seen.byAzimuth ? Method::Azimuth : Method::Polar, seen.row, pairRow, solution);
  }

  void reducedObservation(std::string_view line, const Places& places, std::uint32_t row) {
    if (!setUp_) return fail(row, Failure::NoStation);
    if (conventions_.fullCircle == 0) return fail(row, Failure::UnknownUnits);
    const std::string_view target = trimmed(FieldText(line, places.reducedTo));
    if (target.empty()) return fail(row, Failure::NotANumber);
    const Value distance = valueOf(FieldText(line, places.reducedDistance));
    if (distance.state == Value::Text) return fail(row, Failure::NotANumber);
    if (!distance.ok() || distance.number <= 0) return fail(row, Failure::NoDistance);
    const auto azimuth = numberOf(FieldText(line, places.reducedAzimuth));
    if (!azimuth) return fail(row, Failure::NotANumber);
    if (!setUp_->at) return fail(row, Failure::NoStationCoordinates);
    const auto rise = numberOf(FieldText(line, places.reducedRise));
    Solution solution;
    if (const auto failure = place(target, conventions_.toRadians(*azimuth), distance.number * conventions_.scale,
                                   rise, targetHeight_, Method::Reduced, row, std::nullopt, solution))
      return fail(row, *failure);
    results_.solutions.push_back(std::move(solution));
  }

  std::optional<Failure> place(std::string_view target, double azimuth, double distance,
                               std::optional<double> rise, double targetHeight, Method method, std::uint32_t row,
                               std::optional<std::uint32_t> pairRow, Solution& solution) {
    const SetUp& setUp = *setUp_;
    solution.north = setUp.at->north + distance * std::cos(azimuth);
    solution.east = setUp.at->east + distance * std::sin(azimuth);
    if (setUp.at->elevation && rise)
      solution.elevation = *setUp.at->elevation + setUp.instrumentHeight + *rise - targetHeight;
    if (!std::isfinite(solution.north) || !std::isfinite(solution.east) ||
        (solution.elevation && !std::isfinite(*solution.elevation)))
      return Failure::NotANumber;
    solution.point.assign(target);
    solution.station.assign(setUp.station);
    solution.method = method;
    solution.row = row;
    solution.pairRow = pairRow;
    return std::nullopt;
  }

  void fail(std::uint32_t row, Failure reason) { results_.failures.push_back({row, reason}); }

  // After the pass, so that each look-up is asked for a few solutions ahead.
  void markCheckShots() {
    std::vector<Solution>& solutions = results_.solutions;
    for (std::size_t i = 0; i < solutions.size(); ++i) {
      if (i + kAhead < solutions.size()) recorded_.prefetch(solutions[i + kAhead].point);
      Solution& solution = solutions[i];
      const Coordinates* known = recorded_.find(solution.point);
      if (known == nullptr) continue;
      solution.method = Method::Check;
      solution.dNorth = solution.north - known->north;
      solution.dEast = solution.east - known->east;
      if (solution.elevation && known->elevation) solution.dElevation = *solution.elevation - *known->elevation;
    }
  }

  void meanPoints() {
    const std::vector<Solution>& solutions = results_.solutions;
    struct Sums {
      double north = 0, east = 0, elevation = 0;
      std::uint32_t elevations = 0;
    };
    std::vector<Sums> sums;
    std::vector<ComputedPoint>& points = results_.points;
    const auto computed = std::count_if(solutions.begin(), solutions.end(),
                                        [](const Solution& s) { return s.method != Method::Check; });
    NameTable byName(static_cast<std::size_t>(computed));
    std::vector<std::uint32_t> pointOf(solutions.size(), kNone);
    // Sums of differences from the first solution keep the digits of large coordinates.
    for (std::size_t i = 0; i < solutions.size(); ++i) {
      const Solution& solution = solutions[i];
      if (solution.method == Method::Check) continue;
      if (i + kAhead < solutions.size()) byName.prefetch(solutions[i + kAhead].point);
      const auto next = static_cast<std::uint32_t>(points.size());
      const std::uint32_t group = byName.insert(solution.point, next);
      if (group == next) {
        ComputedPoint point;
        point.point = solution.point;
        point.north = solution.north;
        point.east = solution.east;
        point.elevation = solution.elevation;
        points.push_back(std::move(point));
        sums.emplace_back();
      }
      pointOf[i] = group;
      ComputedPoint& point = points[group];
      Sums& sum = sums[group];
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
      if (point.solutions == 1) continue;
      point.north += sums[i].north / point.solutions;
      point.east += sums[i].east / point.solutions;
      if (point.elevation) *point.elevation += sums[i].elevation / sums[i].elevations;
    }
    for (std::size_t i = 0; i < solutions.size(); ++i) {
      if (pointOf[i] == kNone) continue;
      ComputedPoint& point = points[pointOf[i]];
      if (point.solutions == 1) continue;
      point.spread =
          std::max(point.spread, std::hypot(solutions[i].north - point.north, solutions[i].east - point.east));
    }
  }

  const RecordList& list_;
  std::size_t rows_;
  const RecordedPoints recorded_;
  Conventions conventions_;
  double targetHeight_ = 0;
  std::optional<SetUp> setUp_;
  WaitingFaces waiting_;
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
