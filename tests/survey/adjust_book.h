// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Field books made from true coordinates for the adjustment's tests: every
// reading computed exactly (or with a given error added), with the row each
// observation lands on, so that a test can check against its own solution.

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "tests/survey/survey_books.h"

namespace quillmar::survey::test {

struct TruePoint {
  std::string name;
  double north, east, elevation;
  bool control = false;
};

struct Shot {
  std::string target;
  bool pair = false;
  double directionError = 0;  // radians
  double distanceError = 0;   // the book's unit
  double riseError = 0;       // the book's unit: a height blunder alone
};

struct TrueSetUp {
  std::string station;
  double zero = 0;  // the azimuth of reading 0, radians
  std::vector<Shot> shots;
};

// One observation as the book holds it: horizontal, in radians or the book's unit.
struct Written {
  std::uint32_t row;
  std::size_t setUp, station, target;
  bool distance;
  double value;
};

struct BookOptions {
  char angle = '1';  // 1 degrees, 2 gons, 3 mils
  bool feet = false;
  double instrumentHeight = 1.5, targetHeight = 1.2;
};

class TrueBook {
 public:
  TrueBook(std::vector<TruePoint> points, std::vector<TrueSetUp> setUps, BookOptions options = {})
      : points_(std::move(points)), setUps_(std::move(setUps)), options_(options) {}

  std::vector<std::string> lines() {
    written_.clear();
    full_ = options_.angle == '1' ? 360.0 : options_.angle == '2' ? 400.0 : 6400.0;
    std::vector<std::string> out = {line(KindId::Header, "00NM", '3',
                                         {{F::SoftwareVersion, "SDR33"},
                                          {F::AngleUnitCode, {options_.angle}},
                                          {F::DistanceUnitCode, options_.feet ? "2" : "1"},
                                          {F::PressureUnitCode, "1"},
                                          {F::TemperatureUnitCode, "1"},
                                          {F::CoordinateOrderCode, "1"},
                                          {F::AngleDirectionCode, "1"}}),
                                    instrument('3', '1')};
    for (const TruePoint& p : points_)
      if (p.control && !isStation(p.name))
        out.push_back(position('3', p.name, text(p.north), text(p.east), text(p.elevation)));
    for (std::size_t s = 0; s < setUps_.size(); ++s) writeSetUp(s, out);
    return out;
  }
  const std::vector<Written>& written() const { return written_; }
  std::size_t index(const std::string& name) const {
    for (std::size_t k = 0; k < points_.size(); ++k)
      if (points_[k].name == name) return k;
    return points_.size();
  }
  const std::vector<TruePoint>& points() const { return points_; }
  const std::vector<TrueSetUp>& setUps() const { return setUps_; }

  static std::string text(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.9f", value);
    return buffer;
  }

 private:
  bool isStation(const std::string& name) const {
    for (const TrueSetUp& s : setUps_)
      if (s.station == name) return true;
    return false;
  }
  double book(double radians) const {
    double x = std::fmod(radians * full_ / (2 * std::numbers::pi), full_);
    return x < 0 ? x + full_ : x;
  }
  void writeSetUp(std::size_t s, std::vector<std::string>& out) {
    const TrueSetUp& setUp = setUps_[s];
    const TruePoint& at = points_[index(setUp.station)];
    const auto coordinate = [&](double v) { return at.control ? text(v) : std::string(); };
    out.push_back(station('3', at.name, coordinate(at.north), coordinate(at.east), coordinate(at.elevation),
                          text(options_.instrumentHeight)));
    out.push_back(target('3', text(options_.targetHeight)));
    for (const Shot& shot : setUp.shots) {
      const TruePoint& to = points_[index(shot.target)];
      const double dn = to.north - at.north, de = to.east - at.east;
      const double level = std::hypot(dn, de) + shot.distanceError;
      const double rise =
          to.elevation + options_.targetHeight - at.elevation - options_.instrumentHeight + shot.riseError;
      const double zenith = std::atan2(level, rise);
      const double reading = std::atan2(de, dn) - setUp.zero + shot.directionError;
      const double slope = std::hypot(level, rise);
      const auto row = static_cast<std::uint32_t>(out.size());
      out.push_back(observation('3', "F1", to.name, text(slope), text(book(zenith)), text(book(reading)), at.name));
      if (shot.pair)
        out.push_back(observation('3', "F2", to.name, text(slope), text(book(2 * std::numbers::pi - zenith)),
                                  text(book(reading + std::numbers::pi)), at.name));
      written_.push_back({row, s, index(setUp.station), index(shot.target), false, reading});
      written_.push_back({row, s, index(setUp.station), index(shot.target), true, level});
    }
  }

  std::vector<TruePoint> points_;
  std::vector<TrueSetUp> setUps_;
  BookOptions options_;
  double full_ = 360;
  std::vector<Written> written_;
};

// Control A and B, a free station S2 and two points, one distance 2 cm off:
// a small book that adjusts with redundancy.
inline std::vector<std::string> AdjustableBookLines() {
  TrueBook book(
      {{"A", 1000, 1000, 100, true},
       {"B", 1000, 1400, 102, true},
       {"S2", 1200, 1300, 101},
       {"P1", 1250, 1150, 130},
       {"P2", 1100, 1250, 97}},
      {{"A", 0.3, {{"B"}, {"P1"}, {"P2"}, {"S2"}}}, {"S2", 3.5, {{"A"}, {"B", true}, {"P1"}, {"P2", false, 0, 0.02}}}});
  return book.lines();
}

}  // namespace quillmar::survey::test
