// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/make_st.h"

#include <array>
#include <span>

#include "records/cp1251.h"
#include "records/record_layout.h"
#include "records/sdr_field.h"

namespace quillmar {
namespace {

using StateText = std::string_view CaptionState::*;
using F = FieldId;

// One piece of a caption: its literal, then a field of the line or a
// setting, then (for values with a unit) a setting.
struct Row {
  std::string_view literal;
  const LayoutField* field = nullptr;
  StateText shown = nullptr;
  StateText unit = nullptr;
  bool sdr3Only = false;
};

// The caption rows of one kind, reading their places from the layout table.
struct RowsOf {
  KindId kind;

  constexpr Row operator()(std::string_view literal, FieldId id, StateText unit = nullptr) const {
    return {literal, &FieldOf(kind, id), nullptr, unit};
  }
};

constexpr Row setting(std::string_view literal, StateText shown) { return {literal, nullptr, shown}; }
constexpr Row sdr3Setting(std::string_view literal, StateText shown) {
  return {literal, nullptr, shown, nullptr, true};
}

constexpr RowsOf header{KindId::Header};
constexpr Row kHeader[] = {
    header("HEADER Версия "_w, F::SoftwareVersion),
    header("  С\\н "_w, F::SerialNumber),
    header("  Дата\\Время "_w, F::DateTime),
    setting(" Единицы: Углы-"_w, &CaptionState::angleUnit),
    setting(" Расстояния-"_w, &CaptionState::distanceUnit),
    setting(" Давление-"_w, &CaptionState::pressureUnit),
    setting(" Температура-"_w, &CaptionState::temperatureUnit),
    setting(" Коорд. сист.-"_w, &CaptionState::coordinateOrder),
};

constexpr RowsOf instrument{KindId::Instrument};
constexpr Row kInstrument[] = {
    setting("Инструмент  Тип EDM "_w, &CaptionState::instrumentModel),
    instrument(" Описание EDM "_w, F::EdmDescription),
    instrument("  С/н EDM "_w, F::EdmSerialNumber),
    instrument("  Опис. теод. "_w, F::TheodoliteDescription),
    instrument("  C/н теод. "_w, F::TheodoliteSerialNumber),
    setting(" MT-"_w, &CaptionState::edmMounting),
    setting("  Верт. углы "_w, &CaptionState::verticalAngleZero),
    instrument("  EDM offset "_w, F::EdmOffset, &CaptionState::distanceUnit),
    instrument("  Refflector offset "_w, F::ReflectorOffset, &CaptionState::distanceUnit),
    instrument("  Конст. призмы,мм "_w, F::PrismConstant),
};

constexpr RowsOf station{KindId::Station};
constexpr Row kStation[] = {
    station("Станция   Т. "_w, F::PointName),
    station(" N="_w, F::Coordinate1),
    station(" E="_w, F::Coordinate2),
    station("  Elev="_w, F::Coordinate3),
    station("  Высота прибора "_w, F::InstrumentHeight),
    station("  Описание станции "_w, F::Description),
};

constexpr Row kTarget[] = {
    RowsOf{KindId::Target}("Цель   Высота="_w, F::TargetHeight),
};

constexpr RowsOf collimation{KindId::Collimation};
constexpr Row kCollimation[] = {
    collimation("Колимация    Гориз.="_w, F::HorizontalCollimation),
    collimation("  Вертик.="_w, F::VerticalCollimation),
};

constexpr RowsOf atmosphere{KindId::Atmosphere};
constexpr Row kAtmosphere[] = {
    atmosphere("Атмосфера    Давление="_w, F::Pressure, &CaptionState::pressureUnit),
    atmosphere("  Температура="_w, F::Temperature, &CaptionState::temperatureUnit),
};

constexpr Row kScaleFactor[] = {
    RowsOf{KindId::ScaleFactor}("Масштабный коэф. "_w, F::ScaleFactor),
};

constexpr RowsOf backsight{KindId::Backsight};
constexpr Row kBacksight[] = {
    backsight("BKB    Исходная точка "_w, F::FromPoint),
    backsight("   Точка наведения "_w, F::ToPoint),
    backsight("   Азимут "_w, F::Azimuth),
    backsight("   Горизонтальный угол "_w, F::HorizontalAngle),
};

constexpr RowsOf position{KindId::Position};
constexpr Row kPosition[] = {
    position("Координаты     Т. "_w, F::PointName),
    position("    N="_w, F::Coordinate1),
    position("  E="_w, F::Coordinate2),
    position("  Elev="_w, F::Coordinate3),
    position("   Прим "_w, F::Description),
};

// The two observation captions differ in the horizontal value's name only.
constexpr std::array<Row, 6> observationRows(KindId kind, std::string_view horizontal) {
  const RowsOf observation{kind};
  return {observation(" Углы   Исх. точка "_w, F::FromPoint),
          observation("  Точка наведения "_w, F::ToPoint),
          observation("  Раст.="_w, F::SlopeDistance),
          observation("  Верт. угол="_w, F::VerticalAngle),
          observation(horizontal, F::Horizontal),
          observation("   Прим. "_w, F::Description)};
}
constexpr auto kObservation = observationRows(KindId::Observation, "  Гориз. угол="_w);
constexpr auto kObservationByAzimuth = observationRows(KindId::ObservationByAzimuth, "  Гориз. азимут="_w);

// An SDR2x job record carries no settings: its caption is the name alone.
constexpr Row kJob[] = {
    RowsOf{KindId::Job}("JOB   Идентификатор "_w, F::JobName),
    sdr3Setting("  Тип идент. точки: "_w, &CaptionState::pointIdType),
    sdr3Setting("  Include elevation: "_w, &CaptionState::includeElevation),
    sdr3Setting("  Atmos correction: "_w, &CaptionState::atmosCorrection),
    sdr3Setting("  C & R correction: "_w, &CaptionState::crCorrection),
    sdr3Setting("  Refraction constant="_w, &CaptionState::refractionConstant),
    sdr3Setting("  Sea level correction: "_w, &CaptionState::seaLevelCorrection),
};

constexpr RowsOf reduced{KindId::ReducedObservation};
constexpr Row kReducedObservation[] = {
    reduced("RED   Исходная точка: "_w, F::FromPoint),
    reduced("   Точка наведения: "_w, F::ToPoint),
    reduced("   Азимут= "_w, F::Azimuth),
    reduced("   Горизонтальное расстояние= "_w, F::HorizontalDistance),
    reduced("   Вертикальное расстояние= "_w, F::VerticalDistance),
    reduced("   Описание "_w, F::Description),
};

constexpr Row kNote[] = {
    RowsOf{KindId::Note}("Примечание   "_w, F::NoteText),
};

constexpr RowsOf levelInstrument{KindId::LevelInstrument};
constexpr Row kLevelInstrument[] = {
    levelInstrument("Инструмент Level type: "_w, F::LevelTypeCode),
    levelInstrument("   Description: "_w, F::Description),
    levelInstrument("   Serial number: "_w, F::SerialNumber),
    levelInstrument("   Stadia: "_w, F::StadiaConstant),
};

constexpr RowsOf levelElevation{KindId::LevelElevation};
constexpr Row kLevelElevation[] = {
    levelElevation("Level elevation Pointid= "_w, F::PointName),
    levelElevation("   Description: "_w, F::Description),
    levelElevation("   Elevation "_w, F::Elevation),
};

constexpr RowsOf levelStation{KindId::LevelStation};
constexpr Row kLevelStation[] = {
    levelStation("Level station  Station number= "_w, F::StationNumber),
    levelStation("   BsPointId= "_w, F::BacksightPoint),
    levelStation("   Turning point count= "_w, F::TurningPointCount),
};

// The three-wire caption is the one-wire caption with the two last readings.
constexpr std::array<Row, 10> levelObservationRows(KindId kind, std::string_view first) {
  const RowsOf level{kind};
  return {level(first, F::PointName),
          level("   Distance= "_w, F::Distance),
          level(" Middle Wire Reading= "_w, F::MiddleWireReading),
          level("  Description: "_w, F::Description),
          level("  Station number= "_w, F::StationNumber),
          level("  IsABs= "_w, F::IsBacksight),
          level("  IsATP= "_w, F::IsTurningPoint),
          level("  Offset= "_w, F::Offset),
          RowsOf{KindId::LevelObservation3}("  Top Wire Reading= "_w, F::TopWireReading),
          RowsOf{KindId::LevelObservation3}("  Low Wire Reading= "_w, F::LowWireReading)};
}
constexpr auto kLevelObservation3 =
    levelObservationRows(KindId::LevelObservation3, "Level observation 3 wire  Pointid= "_w);
constexpr auto kLevelObservation1 =
    levelObservationRows(KindId::LevelObservation1, "Level observation 1 wire  Pointid= "_w);

constexpr Row kLevelOffset[] = {
    RowsOf{KindId::LevelOffset}("Level offset= "_w, F::Offset),
};

// In KindId order.
constexpr std::span<const Row> kTemplates[] = {
    kHeader,
    kInstrument,
    kStation,
    kTarget,
    kCollimation,
    kAtmosphere,
    kScaleFactor,
    kBacksight,
    kPosition,
    kObservation,
    kObservationByAzimuth,
    kJob,
    kReducedObservation,
    kNote,
    kLevelInstrument,
    kLevelElevation,
    kLevelStation,
    std::span(kLevelObservation1).first(8),
    kLevelObservation3,
    kLevelOffset,
};
static_assert(std::size(kTemplates) == std::size(kKindLayouts));

// The code tables below answer an empty text for a code they do not list,
// which leaves the setting as it was.
void setFromCode(std::string_view& setting, std::string_view text) {
  if (!text.empty()) setting = text;
}

std::string_view angleUnitText(char code) {
  switch (code) {
    case '1': return "Гр"_w;
    case '2': return "Gons"_w;
    case '3': return "Mils"_w;
    default: return {};
  }
}

std::string_view distanceUnitText(char code) {
  switch (code) {
    case '1': return "М"_w;
    case '2': return "Футы"_w;
    default: return {};
  }
}

std::string_view pressureUnitText(char code) {
  switch (code) {
    case '1': return "MmHg"_w;
    case '2': return "InchHg"_w;
    case '3': return "Mbar"_w;
    default: return {};
  }
}

std::string_view temperatureUnitText(char code) {
  switch (code) {
    case '1': return "Гр. Цельсия"_w;
    case '2': return "Гр. Фаренгейта"_w;
    default: return {};
  }
}

std::string_view coordinateOrderText(char code) {
  switch (code) {
    case '1': return "N-E-Elev"_w;
    case '2': return "E-N-Elev"_w;
    default: return {};
  }
}

std::string_view edmMountingText(char code) {
  switch (code) {
    case '1': return "Telescope"_w;
    case '2': return "Standarts"_w;
    case '3': return "Not applicable"_w;
    default: return {};
  }
}

std::string_view verticalAngleZeroText(char code) {
  switch (code) {
    case '1': return "Zenith"_w;
    case '2': return "Horiz"_w;
    default: return {};
  }
}

std::string_view pointIdTypeText(char code) { return code == '1' ? "14"_w : std::string_view(); }

std::string_view yesNoText(char code) {
  switch (code) {
    case '1': return "Нет"_w;
    case '2': return "Да"_w;
    default: return {};
  }
}

std::string_view refractionConstantText(char code) {
  switch (code) {
    case '1': return "0.14"_w;
    case '2': return "0.20"_w;
    default: return {};
  }
}

constexpr std::array<std::string_view, 256> makeInstrumentModels() {
  std::array<std::string_view, 256> models{};
  const auto set = [&models](char code, std::string_view text) { models[static_cast<unsigned char>(code)] = text; };
  set('1', "Sokkia Manual"_w);
  set('3', "Sokkia SET5A"_w);
  set('4', "Sokkia DT4/5/5A/20"_w);
  set('5', "Sokkia DT5 RedMini Combo"_w);
  set('6', "Sokkia SDM3E"_w);
  set('7', "Sokkia SDM3ER"_w);
  set('8', "Sokkia SDM3F"_w);
  set('9', "Sokkia SDM3FR"_w);
  set(':', "Sokkia SET (old)"_w);
  set(';', "Sokkia DT 2/4"_w);
  set('<', "Sokkia REDMini"_w);
  set('>', "Sokkia Net2"_w);
  set('=', "Sokkia SET (2c) or SET C"_w);
  set('N', "Wild T1000DI"_w);
  set('O', "Wild T2000DI"_w);
  set('P', "Wild T1600DI"_w);
  set('h', "Laser Range Finder ProServey 1000"_w);
  set('i', "Laser Range Finder Criterion 400"_w);
  set('Q', "Wild T1000"_w);
  set('R', "Wild T2000"_w);
  set('S', "Wild T1600"_w);
  set('T', "Wild T1010"_w);
  set('U', "Wild T1010DI"_w);
  set('V', "Wild TC500/TC600"_w);
  set('D', "Topcon GTS3"_w);
  set('E', "Topcon GTS3/ET1/ET2"_w);
  set('I', "Topcon GTS300"_w);
  set('c', "Pentax II or III"_w);
  set('b', "Pentax PTS10"_w);
  set('v', "Nikon D50"_w);
  set('w', "Nikon A series"_w);
  set('g', "Geodimeter 400/500"_w);
  set(']', "Elta 3"_w);
  set('x', "Elta 46"_w);
  set('y', "Elta Zeiss RL"_w);
  return models;
}

constexpr std::array<std::string_view, 256> kInstrumentModels = makeInstrumentModels();

std::string_view instrumentModelText(char code) { return kInstrumentModels[static_cast<unsigned char>(code)]; }

// A setting that a one-character code of the line chooses.
struct CodeSetting {
  const LayoutField* field;
  StateText setting;
  std::string_view (*text)(char code);
};

constexpr CodeSetting code(KindId kind, FieldId id, StateText setting, std::string_view (*text)(char)) {
  return {&FieldOf(kind, id), setting, text};
}

constexpr CodeSetting kCodeSettings[] = {
    code(KindId::Header, F::AngleUnitCode, &CaptionState::angleUnit, angleUnitText),
    code(KindId::Header, F::DistanceUnitCode, &CaptionState::distanceUnit, distanceUnitText),
    code(KindId::Header, F::PressureUnitCode, &CaptionState::pressureUnit, pressureUnitText),
    code(KindId::Header, F::TemperatureUnitCode, &CaptionState::temperatureUnit, temperatureUnitText),
    code(KindId::Header, F::CoordinateOrderCode, &CaptionState::coordinateOrder, coordinateOrderText),
    code(KindId::Instrument, F::InstrumentModelCode, &CaptionState::instrumentModel, instrumentModelText),
    code(KindId::Instrument, F::EdmMountingCode, &CaptionState::edmMounting, edmMountingText),
    code(KindId::Instrument, F::VerticalAngleZeroCode, &CaptionState::verticalAngleZero, verticalAngleZeroText),
    code(KindId::Job, F::PointIdTypeCode, &CaptionState::pointIdType, pointIdTypeText),
    code(KindId::Job, F::IncludeElevationCode, &CaptionState::includeElevation, yesNoText),
    code(KindId::Job, F::AtmosCorrectionCode, &CaptionState::atmosCorrection, yesNoText),
    code(KindId::Job, F::CrCorrectionCode, &CaptionState::crCorrection, yesNoText),
    code(KindId::Job, F::RefractionConstantCode, &CaptionState::refractionConstant, refractionConstantText),
    code(KindId::Job, F::SeaLevelCorrectionCode, &CaptionState::seaLevelCorrection, yesNoText),
};

bool holds(const KindLayout& kind, const LayoutField* field) {
  return !kind.fields.empty() && &kind.fields.front() <= field && field <= &kind.fields.back();
}

// A code that the layout does not hold (an SDR2x job's) reads as '\0',
// which no table lists.
void takeSettings(CaptionState& state, const KindLayout& kind, std::string_view body, char version) {
  for (const CodeSetting& setting : kCodeSettings) {
    if (!holds(kind, setting.field)) continue;
    setFromCode(state.*setting.setting, setting.text(sdrCode(body, setting.field->in(version).start)));
  }
}

void appendRows(std::string& out, std::span<const Row> rows, const CaptionState& state, std::string_view body,
                char version) {
  for (const Row& row : rows) {
    if (row.sdr3Only && version != kVersionSdr3) continue;
    out += row.literal;
    if (row.shown != nullptr) {
      out += state.*row.shown;
    } else {
      out += FieldText(body, row.field->captionIn(version));
    }
    if (row.unit != nullptr) out += state.*row.unit;
  }
}

}  // namespace

void MakeStInto(std::string& out, CaptionState& state, std::string_view body, std::string_view typeCode,
                std::string_view derivCode, char version) {
  out.clear();
  const bool hasLayout = version == kVersionSdr3 || version == kVersionSdr2;
  const KindLayout* kind = hasLayout ? FindKindLayout(typeCode, derivCode) : nullptr;
  if (kind == nullptr) {
    out.append(body);
    return;
  }
  takeSettings(state, *kind, body, version);
  appendRows(out, kTemplates[static_cast<std::size_t>(kind->kind)], state, body, version);
}

std::string MakeSt(CaptionState& state, std::string_view body, std::string_view typeCode, std::string_view derivCode,
                   char version) {
  std::string caption;
  MakeStInto(caption, state, body, typeCode, derivCode, version);
  return caption;
}

}  // namespace quillmar
