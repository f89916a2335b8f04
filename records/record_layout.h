// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one table of SDR record layouts: every record kind's named fields with
// their first position and width in the SDR3x and the SDR2x layout. Captions,
// edit rows, the export tables and the plan read their positions here; where
// one use reads a field differently, the table says so in the same row.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "records/sdr_field.h"
#include "records/survey_record.h"

namespace quillmar {

// 1-based first position and width; a width of 0 means the layout has no
// such field.
struct FieldPlace {
  std::uint8_t start = 0;
  std::uint8_t width = 0;

  constexpr bool exists() const { return width != 0; }
  constexpr std::size_t end() const { return std::size_t{start} + width; }  // one past the last
  friend constexpr bool operator==(const FieldPlace&, const FieldPlace&) = default;
};

// The field's text in a line: cut short where the line ends, never trimmed.
inline std::string_view FieldText(std::string_view line, FieldPlace place) {
  return sdrField(line, place.start, place.width);
}

// clang-format off
enum class FieldId : std::uint8_t {
  // 00 header
  SoftwareVersion, SerialNumber, DateTime, AngleUnitCode, DistanceUnitCode, PressureUnitCode,
  TemperatureUnitCode, CoordinateOrderCode, AngleDirectionCode,
  // 01 instrument
  InstrumentModelCode, EdmDescription, EdmSerialNumber, TheodoliteDescription,
  TheodoliteSerialNumber, EdmMountingCode, VerticalAngleZeroCode, EdmOffset, ReflectorOffset,
  PrismConstant,
  // points and sight lines
  PointName, FromPoint, ToPoint, Coordinate1, Coordinate2, Coordinate3, InstrumentHeight,
  TargetHeight, SlopeDistance, VerticalAngle, Horizontal, Azimuth, HorizontalAngle,
  HorizontalDistance, VerticalDistance, Description,
  // 04-06
  HorizontalCollimation, VerticalCollimation, Pressure, Temperature, ScaleFactor,
  // 10 job
  JobName, PointIdTypeCode, IncludeElevationCode, AtmosCorrectionCode, CrCorrectionCode,
  RefractionConstantCode, SeaLevelCorrectionCode,
  // 13 note
  NoteText,
  // 60-65 levelling
  LevelTypeCode, StadiaConstant, Elevation, StationNumber, BacksightPoint, TurningPointCount,
  Distance, MiddleWireReading, IsBacksight, IsTurningPoint, Offset, TopWireReading,
  LowWireReading,
};
// clang-format on

struct LayoutField {
  FieldId id;
  FieldPlace sdr3;
  FieldPlace sdr2;
  // The exception: where the SDR2x caption reads, when it is not the field.
  FieldPlace sdr2Caption{};

  // No place in a layout that the table does not know (kVersionNone).
  constexpr FieldPlace in(char version) const {
    if (version == kVersionSdr3) return sdr3;
    if (version == kVersionSdr2) return sdr2;
    return {};
  }
  constexpr FieldPlace captionIn(char version) const {
    return version == kVersionSdr2 && sdr2Caption.exists() ? sdr2Caption : in(version);
  }
};

// clang-format off
enum class KindId : std::uint8_t {
  Header, Instrument, Station, Target, Collimation, Atmosphere, ScaleFactor, Backsight, Position,
  Observation, ObservationByAzimuth, Job, ReducedObservation, Note, LevelInstrument,
  LevelElevation, LevelStation, LevelObservation1, LevelObservation3, LevelOffset,
};

struct KindLayout {
  KindId kind;
  std::string_view typeCode;
  // The derivation codes that make this kind; none listed: any code.
  std::array<std::string_view, 3> derivCodes;
  std::span<const LayoutField> fields;
  bool editable = false;  // offered by "Редактировать"

  constexpr bool takes(std::string_view derivCode) const {
    if (derivCodes[0].empty()) return true;
    for (std::string_view code : derivCodes) {
      if (!code.empty() && code == derivCode) return true;
    }
    return false;
  }
};

namespace layout_table {

using F = FieldId;

inline constexpr LayoutField kHeader[] = {
    {F::SoftwareVersion, {5, 16}, {5, 16}},
    {F::SerialNumber, {21, 4}, {21, 4}},
    {F::DateTime, {25, 16}, {25, 16}},
    {F::AngleUnitCode, {41, 1}, {41, 1}},
    {F::DistanceUnitCode, {42, 1}, {42, 1}},
    {F::PressureUnitCode, {43, 1}, {43, 1}},
    {F::TemperatureUnitCode, {44, 1}, {44, 1}},
    {F::CoordinateOrderCode, {45, 1}, {45, 1}},
    {F::AngleDirectionCode, {46, 1}, {46, 1}},
};

inline constexpr LayoutField kInstrument[] = {
    {F::InstrumentModelCode, {5, 1}, {5, 1}},
    {F::EdmDescription, {6, 16}, {6, 16}},
    {F::EdmSerialNumber, {22, 6}, {22, 6}},
    {F::TheodoliteDescription, {28, 16}, {28, 16}},
    {F::TheodoliteSerialNumber, {44, 6}, {44, 6}},
    {F::EdmMountingCode, {50, 1}, {50, 1}},
    {F::VerticalAngleZeroCode, {51, 1}, {51, 1}},
    {F::EdmOffset, {52, 16}, {52, 10}},
    {F::ReflectorOffset, {68, 16}, {62, 10}},
    {F::PrismConstant, {84, 16}, {72, 10}},
};

inline constexpr LayoutField kStation[] = {
    {F::PointName, {5, 16}, {5, 4}},
    {F::Coordinate1, {21, 16}, {9, 10}},
    {F::Coordinate2, {37, 16}, {19, 10}},
    {F::Coordinate3, {53, 16}, {29, 10}},
    {F::InstrumentHeight, {69, 16}, {39, 10}},
    {F::Description, {85, 16}, {49, 16}},
};

// The SDR2x caption shows what follows the height too, line end included.
inline constexpr LayoutField kTarget[] = {
    {F::TargetHeight, {5, 16}, {5, 10}, {5, 14}},
};

inline constexpr LayoutField kCollimation[] = {
    {F::HorizontalCollimation, {5, 16}, {5, 10}},
    {F::VerticalCollimation, {21, 16}, {15, 10}},
};

// The SDR2x caption's temperature runs on to position 38.
inline constexpr LayoutField kAtmosphere[] = {
    {F::Pressure, {5, 16}, {5, 10}},
    {F::Temperature, {21, 16}, {15, 10}, {15, 24}},
};

inline constexpr LayoutField kScaleFactor[] = {
    {F::ScaleFactor, {5, 16}, {5, 10}},
};

inline constexpr LayoutField kBacksight[] = {
    {F::FromPoint, {5, 16}, {5, 4}},
    {F::ToPoint, {21, 16}, {9, 4}},
    {F::Azimuth, {37, 16}, {13, 10}},
    {F::HorizontalAngle, {53, 16}, {23, 10}},
};

inline constexpr LayoutField kPosition[] = {
    {F::PointName, {5, 16}, {5, 4}},
    {F::Coordinate1, {21, 16}, {9, 10}},
    {F::Coordinate2, {37, 16}, {19, 10}},
    {F::Coordinate3, {53, 16}, {29, 10}},
    {F::Description, {69, 16}, {39, 16}},
};

// Horizontal: an angle for F1, F2 and MD, an azimuth for MC.
inline constexpr LayoutField kObservation[] = {
    {F::FromPoint, {5, 16}, {5, 4}},
    {F::ToPoint, {21, 16}, {9, 4}},
    {F::SlopeDistance, {37, 16}, {13, 10}},
    {F::VerticalAngle, {53, 16}, {23, 10}},
    {F::Horizontal, {69, 16}, {33, 10}},
    {F::Description, {85, 16}, {43, 16}},
};

// SDR2x job records carry the name alone.
inline constexpr LayoutField kJob[] = {
    {F::JobName, {5, 16}, {5, 16}},
    {F::PointIdTypeCode, {21, 1}, {}},
    {F::IncludeElevationCode, {22, 1}, {}},
    {F::AtmosCorrectionCode, {23, 1}, {}},
    {F::CrCorrectionCode, {24, 1}, {}},
    {F::RefractionConstantCode, {25, 1}, {}},
    {F::SeaLevelCorrectionCode, {26, 1}, {}},
};

inline constexpr LayoutField kReducedObservation[] = {
    {F::FromPoint, {5, 16}, {5, 4}},
    {F::ToPoint, {21, 16}, {9, 4}},
    {F::Azimuth, {37, 16}, {13, 10}},
    {F::HorizontalDistance, {53, 16}, {23, 10}},
    {F::VerticalDistance, {69, 16}, {33, 10}},
    {F::Description, {85, 16}, {43, 16}},
};

inline constexpr LayoutField kNote[] = {
    {F::NoteText, {5, 60}, {5, 60}},
};

inline constexpr LayoutField kLevelInstrument[] = {
    {F::LevelTypeCode, {5, 1}, {5, 1}},
    {F::Description, {6, 16}, {6, 16}},
    {F::SerialNumber, {22, 6}, {22, 6}},
    {F::StadiaConstant, {28, 16}, {28, 10}},
};

inline constexpr LayoutField kLevelElevation[] = {
    {F::PointName, {5, 16}, {5, 4}},
    {F::Description, {21, 16}, {9, 16}},
    {F::Elevation, {37, 16}, {25, 10}},
};

inline constexpr LayoutField kLevelStation[] = {
    {F::StationNumber, {5, 5}, {5, 5}},
    {F::BacksightPoint, {10, 16}, {10, 4}},
    {F::TurningPointCount, {26, 5}, {14, 5}},
};

// A one-wire observation is a three-wire one without the last two readings.
inline constexpr LayoutField kLevelObservation[] = {
    {F::PointName, {5, 16}, {5, 4}},
    {F::Distance, {21, 16}, {9, 10}},
    {F::MiddleWireReading, {37, 16}, {19, 10}},
    {F::Description, {53, 16}, {29, 16}},
    {F::StationNumber, {69, 5}, {45, 5}},
    {F::IsBacksight, {74, 5}, {50, 5}},
    {F::IsTurningPoint, {79, 5}, {55, 5}},
    {F::Offset, {84, 16}, {60, 10}},
    {F::TopWireReading, {100, 16}, {70, 10}},
    {F::LowWireReading, {116, 16}, {80, 10}},
};

inline constexpr LayoutField kLevelOffset[] = {
    {F::Offset, {5, 16}, {5, 10}},
};

}  // namespace layout_table

// In KindId order. The F1/F2/MD versus MC split of observations is made here.
inline constexpr KindLayout kKindLayouts[] = {
    {KindId::Header, "00", {}, layout_table::kHeader},
    {KindId::Instrument, "01", {}, layout_table::kInstrument},
    {KindId::Station, "02", {}, layout_table::kStation, true},
    {KindId::Target, "03", {}, layout_table::kTarget, true},
    {KindId::Collimation, "04", {}, layout_table::kCollimation},
    {KindId::Atmosphere, "05", {}, layout_table::kAtmosphere},
    {KindId::ScaleFactor, "06", {}, layout_table::kScaleFactor},
    {KindId::Backsight, "07", {}, layout_table::kBacksight},
    {KindId::Position, "08", {}, layout_table::kPosition, true},
    {KindId::Observation, "09", {"F1", "F2", "MD"}, layout_table::kObservation, true},
    {KindId::ObservationByAzimuth, "09", {"MC"}, layout_table::kObservation, true},
    {KindId::Job, "10", {}, layout_table::kJob},
    {KindId::ReducedObservation, "11", {}, layout_table::kReducedObservation},
    {KindId::Note, "13", {}, layout_table::kNote},
    {KindId::LevelInstrument, "60", {}, layout_table::kLevelInstrument},
    {KindId::LevelElevation, "61", {}, layout_table::kLevelElevation},
    {KindId::LevelStation, "62", {}, layout_table::kLevelStation},
    {KindId::LevelObservation1, "63", {}, std::span(layout_table::kLevelObservation).first(8)},
    {KindId::LevelObservation3, "64", {}, layout_table::kLevelObservation},
    {KindId::LevelOffset, "65", {}, layout_table::kLevelOffset},
};

constexpr const KindLayout& LayoutOf(KindId kind) {
  return kKindLayouts[static_cast<std::size_t>(kind)];
}

// The field `id` of a kind; the table must hold it (checked when compiled
// where the caller is constexpr).
constexpr const LayoutField& FieldOf(KindId kind, FieldId id) {
  for (const LayoutField& field : LayoutOf(kind).fields) {
    if (field.id == id) return field;
  }
  throw "the kind has no such field";
}

// The kind that a type and a derivation code make, or nullptr.
const KindLayout* FindKindLayout(std::string_view typeCode, std::string_view derivCode);

// Whether the codes are those of an SDR record: a type the table knows, with
// a derivation code it takes that is two capital letters or digits. The
// start of a line of another instrument's table ("1,100.0,...") is not.
bool IsSdrRecordCode(std::string_view typeCode, std::string_view derivCode);

// Where the field sits in a record of this kind and layout; no place when the
// kind or the layout has no such field.
FieldPlace PlaceOf(const KindLayout& kind, FieldId id, char version);

// Whether "Редактировать" is offered for records of this type (any derivation).
bool IsEditableType(std::string_view typeCode);

// A point that a record locates (a station or a position): its name and its
// three coordinates in line order, as the header's coordinate order names them.
struct PointPlaces {
  FieldPlace name;
  FieldPlace coordinate1;
  FieldPlace coordinate2;
  FieldPlace coordinate3;
};
std::optional<PointPlaces> PointPlacesOf(std::string_view typeCode, char version);

}  // namespace quillmar
