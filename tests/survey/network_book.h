// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A field book written from true coordinates, without noise, in any layout,
// angle unit, coordinate order, circle direction and vertical zero: the
// readings an instrument would record, each set-up with a circle zero of its own.

#include <cmath>
#include <map>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "records/table_text.h"
#include "tests/survey/survey_books.h"

namespace quillmar::survey::test {

struct Truth {
  double north, east, elevation;
};

struct BookStyle {
  char version = '3';
  char angle = '1';      // 1 degrees, 2 gons, 3 mils
  char order = '1';      // 1 N-E, 2 E-N
  char direction = '1';  // 1 clockwise, 2 counter-clockwise
  char zero = '1';       // 1 zenith, 2 horizon
};

class NetworkBook {
 public:
  NetworkBook(BookStyle style, std::map<std::string, Truth> truth) : style_(style), truth_(std::move(truth)) {
    lines_ = {header(style.version, style.angle, style.order, style.direction), instrument(style.version, style.zero)};
  }

  double full() const { return style_.angle == '1' ? 360.0 : style_.angle == '2' ? 400.0 : 6400.0; }

  void known(const std::string& name) { lines_.push_back(point(name, truth_.at(name), "08KI")); }
  void placeholder(const std::string& name) { lines_.push_back(point(name, {0, 0, 0}, "08KI")); }

  // A set-up on `name`, its coordinates written or not, its circle turned by `zero` degrees.
  void setUp(const std::string& name, bool withCoordinates, double zero, double height = 1.55) {
    station_ = name;
    zero_ = zero * std::numbers::pi / 180;
    height_ = height;
    const Truth& at = truth_.at(name);
    const auto [one, two] = ordered(at);
    lines_.push_back(withCoordinates
                         ? station(style_.version, name, one, two, number(at.elevation, 4), number(height, 3))
                         : station(style_.version, name, "", "", "", number(height, 3)));
    lines_.push_back(target(style_.version, number(kTargetHeight, 3)));
  }

  // A 07 to `to`: its azimuth given or left to its coordinates.
  void backsight(const std::string& to, bool withAzimuth) {
    const double azimuth = azimuthTo(to);
    lines_.push_back(test::backsight(style_.version, to, withAzimuth ? angle(azimuth) : "", angle(reading(azimuth))));
  }

  // An observation of `to`: both faces or face left, with or without its distance.
  void sight(const std::string& to, bool withDistance, bool bothFaces = false) {
    const Truth& from = truth_.at(station_);
    const Truth& at = truth_.at(to);
    const double level = std::hypot(at.north - from.north, at.east - from.east);
    const double rise = at.elevation + kTargetHeight - from.elevation - height_;
    const double zenith = std::atan2(level, rise);
    const double slope = std::hypot(level, rise);
    const double horizontal = reading(azimuthTo(to));
    const std::string distance = withDistance ? number(slope, 5) : "";
    lines_.push_back(observation(style_.version, bothFaces ? "F1" : "MD", to, distance, vertical(zenith),
                                 angle(horizontal), station_));
    if (bothFaces)
      lines_.push_back(observation(style_.version, "F2", to, distance, vertical(2 * std::numbers::pi - zenith),
                                   angle(horizontal + std::numbers::pi), station_));
  }

  const std::vector<std::string>& lines() const { return lines_; }
  const Truth& truth(const std::string& name) const { return truth_.at(name); }

  static constexpr double kTargetHeight = 1.3;

 private:
  std::string number(double value, int decimals) const { return FixedText(value, decimals); }
  // Angles of the book's unit with as many decimals as an SDR2x field holds.
  std::string angle(double radians) const {
    double value = std::fmod(radians / (2 * std::numbers::pi) * full(), full());
    if (value < 0) value += full();
    return number(value, style_.angle == '3' ? 5 : 6);
  }
  std::string vertical(double zenith) const {
    return angle(style_.zero == '2' ? std::numbers::pi / 2 - zenith : zenith);
  }
  double reading(double azimuth) const { return style_.direction == '2' ? zero_ - azimuth : azimuth - zero_; }
  double azimuthTo(const std::string& to) const {
    const Truth& from = truth_.at(station_);
    const Truth& at = truth_.at(to);
    return std::atan2(at.east - from.east, at.north - from.north);
  }
  std::pair<std::string, std::string> ordered(const Truth& at) const {
    const std::string n = number(at.north, 4), e = number(at.east, 4);
    return style_.order == '1' ? std::pair(n, e) : std::pair(e, n);
  }
  std::string point(const std::string& name, const Truth& at, const char* codes) const {
    const auto [one, two] = ordered(at);
    return line(KindId::Position, codes, style_.version,
                {{F::PointName, name},
                 {F::Coordinate1, one},
                 {F::Coordinate2, two},
                 {F::Coordinate3, number(at.elevation, 4)}});
  }

  BookStyle style_;
  std::map<std::string, Truth> truth_;
  std::vector<std::string> lines_;
  std::string station_;
  double zero_ = 0;
  double height_ = 0;
};

}  // namespace quillmar::survey::test
