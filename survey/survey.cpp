// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/survey.h"

#include <algorithm>

#include "records/cp1251.h"
#include "survey/detail_computation.h"

namespace quillmar::survey {

std::size_t Results::checkShots() const {
  return static_cast<std::size_t>(
      std::count_if(solutions.begin(), solutions.end(), [](const Solution& s) { return s.method == Method::Check; }));
}

Results Compute(const RecordList& list, std::size_t rows) {
  return detail::Computation(list, std::min(rows, list.size())).run();
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
