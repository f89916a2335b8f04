// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/survey.h"

#include <algorithm>
#include <cmath>

#include "records/cp1251.h"
#include "survey/network.h"
#include "survey/placing.h"
#include "survey/results_maker.h"

namespace quillmar::survey {

std::size_t Results::checkShots() const {
  return static_cast<std::size_t>(
      std::count_if(solutions.begin(), solutions.end(), [](const Solution& s) { return s.method == Method::Check; }));
}

Results Compute(const RecordList& list, std::size_t rows, const ControlChoice& control) {
  const Network network = ReadNetwork(list, rows);
  const Placement placed = Place(network, control);
  return detail::ResultsMaker(network, placed).make();
}

std::string_view MethodWord(Method method) {
  switch (method) {
    case Method::Polar: return "polar";
    case Method::Azimuth: return "azimuth";
    case Method::Reduced: return "reduced";
    case Method::Check: return "check";
    case Method::FreeStation: return "free-station";
    case Method::Resection: return "resection";
    case Method::Intersection: return "intersection";
  }
  return "polar";
}

std::string_view MethodText(Method method) {
  switch (method) {
    case Method::Polar: return "полярный"_w;
    case Method::Azimuth: return "по азимуту"_w;
    case Method::Reduced: return "приведённый"_w;
    case Method::Check: return "контроль"_w;
    case Method::FreeStation: return "свободная станция"_w;
    case Method::Resection: return "обратная засечка"_w;
    case Method::Intersection: return "прямая засечка"_w;
  }
  return {};
}

std::string_view PlacingText(Placing placing) {
  switch (placing) {
    case Placing::Control: return "исходный пункт"_w;
    case Placing::Polar: return "полярный"_w;
    case Placing::FreeStation: return "свободная станция"_w;
    case Placing::Resection: return "обратная засечка"_w;
    case Placing::Intersection: return "прямая засечка"_w;
    case Placing::Unplaced: return "не вычислена"_w;
  }
  return {};
}

std::string SetAsideText(const SetAside& point, bool feet) {
  // Whole units with a space between thousands: "1 406 310 м".
  const std::string whole = std::to_string(static_cast<long long>(std::llround(point.contradiction)));
  std::string digits;
  for (std::size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) digits.push_back(' ');
    digits.push_back(whole[i]);
  }
  std::string text;
  text.append("Координаты "_w);
  text.append(point.point).append(" из книги не согласуются с измерениями ("_w).append(digits);
  text.append(feet ? " фт"_w : " м"_w).append("): станция вычислена заново"_w);
  return text;
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
    case Failure::NotEnoughKnown: return "Недостаточно известных пунктов"_w;
    case Failure::SmallAngle: return "Лучи пересекаются под слишком малым углом"_w;
    case Failure::NotReached: return "Сеть не доходит до этой станции"_w;
    case Failure::WeakGeometry: return "Пункты не определяют станцию (на одной линии или на опасной окружности)"_w;
    case Failure::BadScale: return "Масштаб не положительное число: оставлен прежний"_w;
    case Failure::UnknownCode: return "Неизвестный код единиц, порядка координат или отсчёта углов"_w;
    case Failure::UnknownDerivation: return "Неизвестный код наблюдения"_w;
    case Failure::FacesDisagree: return "КЛ и КП расходятся больше, чем допускает прибор: КП не учтён"_w;
    case Failure::NotSdr: return "Нет заголовка SDR: книга не в формате SDR"_w;
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
    case Failure::NotEnoughKnown: return "not enough known points";
    case Failure::SmallAngle: return "the lines of sight cross at too small an angle";
    case Failure::NotReached: return "the network does not reach this set-up";
    case Failure::WeakGeometry: return "the known points cannot fix the station";
    case Failure::BadScale: return "the scale factor is no positive number; the previous one is kept";
    case Failure::UnknownCode: return "unknown unit, coordinate order or circle code";
    case Failure::UnknownDerivation: return "unknown observation code";
    case Failure::FacesDisagree: return "the faces disagree beyond an instrument's errors; face right not used";
    case Failure::NotSdr: return "no SDR header: not an SDR field book";
  }
  return {};
}

}  // namespace quillmar::survey
