#include "records/make_st.h"

#include <array>
#include <cstdint>
#include <span>

#include "records/cp1251.h"
#include "records/sdr_field.h"

namespace quillmar {
namespace {

using StateText = std::string_view CaptionState::*;

// Positions of a field in one SDR layout: first position and length.
struct Span {
  std::uint8_t start = 0;
  std::uint8_t width = 0;
};

constexpr Span at(int first, int last) {
  return {static_cast<std::uint8_t>(first), static_cast<std::uint8_t>(last - first + 1)};
}

// One piece of a caption: its literal, then a field of the line or a
// setting, then (for values with a unit) a setting.
struct Row {
  std::string_view literal;
  Span sdr3;
  Span sdr2;
  StateText shown = nullptr;
  StateText unit = nullptr;
  bool sdr3Only = false;
};

constexpr Row field(std::string_view literal, Span sdr3, Span sdr2) {
  return {literal, sdr3, sdr2};
}
constexpr Row fieldWithUnit(std::string_view literal, Span sdr3, Span sdr2, StateText unit) {
  return {literal, sdr3, sdr2, nullptr, unit};
}
constexpr Row setting(std::string_view literal, StateText shown) {
  return {literal, {}, {}, shown};
}
constexpr Row sdr3Setting(std::string_view literal, StateText shown) {
  return {literal, {}, {}, shown, nullptr, true};
}

constexpr Row kHeader[] = {
    field("HEADER Версия "_w, at(5, 20), at(5, 20)),
    field("  С\\н "_w, at(21, 24), at(21, 24)),
    field("  Дата\\Время "_w, at(25, 40), at(25, 40)),
    setting(" Единицы: Углы-"_w, &CaptionState::angleUnit),
    setting(" Расстояния-"_w, &CaptionState::distanceUnit),
    setting(" Давление-"_w, &CaptionState::pressureUnit),
    setting(" Температура-"_w, &CaptionState::temperatureUnit),
    setting(" Коорд. сист.-"_w, &CaptionState::coordinateOrder),
};

constexpr Row kInstrument[] = {
    setting("Инструмент  Тип EDM "_w, &CaptionState::instrumentModel),
    field(" Описание EDM "_w, at(6, 21), at(6, 21)),
    field("  С/н EDM "_w, at(22, 27), at(22, 27)),
    field("  Опис. теод. "_w, at(28, 43), at(28, 43)),
    field("  C/н теод. "_w, at(44, 49), at(44, 49)),
    setting(" MT-"_w, &CaptionState::edmMounting),
    setting("  Верт. углы "_w, &CaptionState::verticalAngleZero),
    fieldWithUnit("  EDM offset "_w, at(52, 67), at(52, 61), &CaptionState::distanceUnit),
    fieldWithUnit("  Refflector offset "_w, at(68, 83), at(62, 71), &CaptionState::distanceUnit),
    field("  Конст. призмы,мм "_w, at(84, 99), at(72, 81)),
};

constexpr Row kStation[] = {
    field("Станция   Т. "_w, at(5, 20), at(5, 8)),
    field(" N="_w, at(21, 36), at(9, 18)),
    field(" E="_w, at(37, 52), at(19, 28)),
    field("  Elev="_w, at(53, 68), at(29, 38)),
    field("  Высота прибора "_w, at(69, 84), at(39, 48)),
    field("  Описание станции "_w, at(85, 100), at(49, 64)),
};

// In SDR2x the caption shows what follows the height too, line end included.
constexpr Row kTarget[] = {
    field("Цель   Высота="_w, at(5, 20), at(5, 18)),
};

constexpr Row kCollimation[] = {
    field("Колимация    Гориз.="_w, at(5, 20), at(5, 14)),
    field("  Вертик.="_w, at(21, 36), at(15, 24)),
};

// In SDR2x the temperature runs on to position 38.
constexpr Row kAtmosphere[] = {
    fieldWithUnit("Атмосфера    Давление="_w, at(5, 20), at(5, 14), &CaptionState::pressureUnit),
    fieldWithUnit("  Температура="_w, at(21, 36), at(15, 38), &CaptionState::temperatureUnit),
};

constexpr Row kScaleFactor[] = {
    field("Масштабный коэф. "_w, at(5, 20), at(5, 14)),
};

constexpr Row kBacksight[] = {
    field("BKB    Исходная точка "_w, at(5, 20), at(5, 8)),
    field("   Точка наведения "_w, at(21, 36), at(9, 12)),
    field("   Азимут "_w, at(37, 52), at(13, 22)),
    field("   Горизонтальный угол "_w, at(53, 68), at(23, 32)),
};

constexpr Row kPosition[] = {
    field("Координаты     Т. "_w, at(5, 20), at(5, 8)),
    field("    N="_w, at(21, 36), at(9, 18)),
    field("  E="_w, at(37, 52), at(19, 28)),
    field("  Elev="_w, at(53, 68), at(29, 38)),
    field("   Прим "_w, at(69, 84), at(39, 54)),
};

constexpr Row kObservation[] = {
    field(" Углы   Исх. точка "_w, at(5, 20), at(5, 8)),
    field("  Точка наведения "_w, at(21, 36), at(9, 12)),
    field("  Раст.="_w, at(37, 52), at(13, 22)),
    field("  Верт. угол="_w, at(53, 68), at(23, 32)),
    field("  Гориз. угол="_w, at(69, 84), at(33, 42)),
    field("   Прим. "_w, at(85, 100), at(43, 58)),
};

constexpr Row kObservationByAzimuth[] = {
    field(" Углы   Исх. точка "_w, at(5, 20), at(5, 8)),
    field("  Точка наведения "_w, at(21, 36), at(9, 12)),
    field("  Раст.="_w, at(37, 52), at(13, 22)),
    field("  Верт. угол="_w, at(53, 68), at(23, 32)),
    field("  Гориз. азимут="_w, at(69, 84), at(33, 42)),
    field("   Прим. "_w, at(85, 100), at(43, 58)),
};

// An SDR2x job record carries no settings: its caption is the name alone.
constexpr Row kJob[] = {
    field("JOB   Идентификатор "_w, at(5, 20), at(5, 20)),
    sdr3Setting("  Тип идент. точки: "_w, &CaptionState::pointIdType),
    sdr3Setting("  Include elevation: "_w, &CaptionState::includeElevation),
    sdr3Setting("  Atmos correction: "_w, &CaptionState::atmosCorrection),
    sdr3Setting("  C & R correction: "_w, &CaptionState::crCorrection),
    sdr3Setting("  Refraction constant="_w, &CaptionState::refractionConstant),
    sdr3Setting("  Sea level correction: "_w, &CaptionState::seaLevelCorrection),
};

constexpr Row kReducedObservation[] = {
    field("RED   Исходная точка: "_w, at(5, 20), at(5, 8)),
    field("   Точка наведения: "_w, at(21, 36), at(9, 12)),
    field("   Азимут= "_w, at(37, 52), at(13, 22)),
    field("   Горизонтальное расстояние= "_w, at(53, 68), at(23, 32)),
    field("   Вертикальное расстояние= "_w, at(69, 84), at(33, 42)),
    field("   Описание "_w, at(85, 100), at(43, 58)),
};

constexpr Row kNote[] = {
    field("Примечание   "_w, at(5, 64), at(5, 64)),
};

constexpr Row kLevelInstrument[] = {
    field("Инструмент Level type: "_w, at(5, 5), at(5, 5)),
    field("   Description: "_w, at(6, 21), at(6, 21)),
    field("   Serial number: "_w, at(22, 27), at(22, 27)),
    field("   Stadia: "_w, at(28, 43), at(28, 37)),
};

constexpr Row kLevelElevation[] = {
    field("Level elevation Pointid= "_w, at(5, 20), at(5, 8)),
    field("   Description: "_w, at(21, 36), at(9, 24)),
    field("   Elevation "_w, at(37, 52), at(25, 34)),
};

constexpr Row kLevelStation[] = {
    field("Level station  Station number= "_w, at(5, 9), at(5, 9)),
    field("   BsPointId= "_w, at(10, 25), at(10, 13)),
    field("   Turning point count= "_w, at(26, 30), at(14, 18)),
};

constexpr Row kLevelObservation1[] = {
    field("Level observation 1 wire  Pointid= "_w, at(5, 20), at(5, 8)),
    field("   Distance= "_w, at(21, 36), at(9, 18)),
    field(" Middle Wire Reading= "_w, at(37, 52), at(19, 28)),
    field("  Description: "_w, at(53, 68), at(29, 44)),
    field("  Station number= "_w, at(69, 73), at(45, 49)),
    field("  IsABs= "_w, at(74, 78), at(50, 54)),
    field("  IsATP= "_w, at(79, 83), at(55, 59)),
    field("  Offset= "_w, at(84, 99), at(60, 69)),
};

constexpr Row kLevelObservation3[] = {
    field("Level observation 3 wire  Pointid= "_w, at(5, 20), at(5, 8)),
    field("   Distance= "_w, at(21, 36), at(9, 18)),
    field(" Middle Wire Reading= "_w, at(37, 52), at(19, 28)),
    field("  Description: "_w, at(53, 68), at(29, 44)),
    field("  Station number= "_w, at(69, 73), at(45, 49)),
    field("  IsABs= "_w, at(74, 78), at(50, 54)),
    field("  IsATP= "_w, at(79, 83), at(55, 59)),
    field("  Offset= "_w, at(84, 99), at(60, 69)),
    field("  Top Wire Reading= "_w, at(100, 115), at(70, 79)),
    field("  Low Wire Reading= "_w, at(116, 131), at(80, 89)),
};

constexpr Row kLevelOffset[] = {
    field("Level offset= "_w, at(5, 20), at(5, 14)),
};

// The type code as a number when it is exactly two digits, otherwise -1.
int typeNumber(std::string_view typeCode) {
  if (typeCode.size() != 2) return -1;
  const char tens = typeCode[0];
  const char units = typeCode[1];
  if (tens < '0' || tens > '9' || units < '0' || units > '9') return -1;
  return (tens - '0') * 10 + (units - '0');
}

std::span<const Row> observationTemplate(std::string_view derivCode) {
  if (derivCode == "F1" || derivCode == "F2" || derivCode == "MD") return kObservation;
  if (derivCode == "MC") return kObservationByAzimuth;
  return {};
}

// An empty span when the record is of no kind that has a caption.
std::span<const Row> templateFor(int type, std::string_view derivCode) {
  switch (type) {
    case 0: return kHeader;
    case 1: return kInstrument;
    case 2: return kStation;
    case 3: return kTarget;
    case 4: return kCollimation;
    case 5: return kAtmosphere;
    case 6: return kScaleFactor;
    case 7: return kBacksight;
    case 8: return kPosition;
    case 9: return observationTemplate(derivCode);
    case 10: return kJob;
    case 11: return kReducedObservation;
    case 13: return kNote;
    case 60: return kLevelInstrument;
    case 61: return kLevelElevation;
    case 62: return kLevelStation;
    case 63: return kLevelObservation1;
    case 64: return kLevelObservation3;
    case 65: return kLevelOffset;
    default: return {};
  }
}

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
  const auto set = [&models](char code, std::string_view text) {
    models[static_cast<unsigned char>(code)] = text;
  };
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

std::string_view instrumentModelText(char code) {
  return kInstrumentModels[static_cast<unsigned char>(code)];
}

void takeHeaderSettings(CaptionState& state, std::string_view body) {
  setFromCode(state.angleUnit, angleUnitText(sdrCode(body, 41)));
  setFromCode(state.distanceUnit, distanceUnitText(sdrCode(body, 42)));
  setFromCode(state.pressureUnit, pressureUnitText(sdrCode(body, 43)));
  setFromCode(state.temperatureUnit, temperatureUnitText(sdrCode(body, 44)));
  setFromCode(state.coordinateOrder, coordinateOrderText(sdrCode(body, 45)));
}

void takeInstrumentSettings(CaptionState& state, std::string_view body) {
  setFromCode(state.instrumentModel, instrumentModelText(sdrCode(body, 5)));
  setFromCode(state.edmMounting, edmMountingText(sdrCode(body, 50)));
  setFromCode(state.verticalAngleZero, verticalAngleZeroText(sdrCode(body, 51)));
}

void takeJobSettings(CaptionState& state, std::string_view body) {
  setFromCode(state.pointIdType, pointIdTypeText(sdrCode(body, 21)));
  setFromCode(state.includeElevation, yesNoText(sdrCode(body, 22)));
  setFromCode(state.atmosCorrection, yesNoText(sdrCode(body, 23)));
  setFromCode(state.crCorrection, yesNoText(sdrCode(body, 24)));
  setFromCode(state.refractionConstant, refractionConstantText(sdrCode(body, 25)));
  setFromCode(state.seaLevelCorrection, yesNoText(sdrCode(body, 26)));
}

void takeSettings(CaptionState& state, int type, std::string_view body, bool sdr3) {
  switch (type) {
    case 0: takeHeaderSettings(state, body); break;
    case 1: takeInstrumentSettings(state, body); break;
    case 10:
      if (sdr3) takeJobSettings(state, body);
      break;
    default: break;
  }
}

void appendRows(std::string& out, std::span<const Row> rows, const CaptionState& state,
                std::string_view body, bool sdr3) {
  for (const Row& row : rows) {
    if (row.sdr3Only && !sdr3) continue;
    out += row.literal;
    if (row.shown != nullptr) {
      out += state.*row.shown;
    } else {
      const Span span = sdr3 ? row.sdr3 : row.sdr2;
      out += sdrField(body, span.start, span.width);
    }
    if (row.unit != nullptr) out += state.*row.unit;
  }
}

}  // namespace

void MakeStInto(std::string& out, CaptionState& state, std::string_view body,
                std::string_view typeCode, std::string_view derivCode, char version) {
  out.clear();
  const bool sdr3 = version == kVersionSdr3;
  const int type = typeNumber(typeCode);
  const std::span<const Row> rows =
      sdr3 || version == kVersionSdr2 ? templateFor(type, derivCode) : std::span<const Row>();
  if (rows.empty()) {
    out.append(body);
    return;
  }
  takeSettings(state, type, body, sdr3);
  appendRows(out, rows, state, body, sdr3);
}

std::string MakeSt(CaptionState& state, std::string_view body, std::string_view typeCode,
                   std::string_view derivCode, char version) {
  std::string caption;
  MakeStInto(caption, state, body, typeCode, derivCode, version);
  return caption;
}

}  // namespace quillmar
