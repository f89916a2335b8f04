// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/field_book_generator.h"

#include <cstdio>
#include <random>
#include <string_view>

#include "records/cp1251.h"

namespace quillmar::tools {
namespace {

class BookWriter {
 public:
  BookWriter(const FieldBookOptions& options) : options_(options), random_(options.seed) {
    text_.reserve(options.records * (wide() ? 96 : 62));
  }

  std::string build() {
    header();
    while (count_ < options_.records) {
      if (chance(0.08))
        levellingRun();
      else
        setup();
    }
    return std::move(text_);
  }

 private:
  bool wide() const { return options_.layout == Layout::Sdr3x; }
  std::size_t idWidth() const { return wide() ? 16 : 4; }
  std::size_t numWidth() const { return wide() ? 16 : 10; }
  bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }
  double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random_); }

  void line(std::string_view codes, std::initializer_list<std::string> fields) {
    if (count_ >= options_.records) return;
    text_.append(codes);
    for (const auto& f : fields) text_.append(f);
    text_.append("\r\n");
    ++count_;
  }

  static std::string right(std::string_view s, std::size_t w) {
    std::string out = s.size() < w ? std::string(w - s.size(), ' ') : std::string();
    return out.append(s.substr(0, w));
  }
  static std::string left(std::string_view s, std::size_t w) {
    std::string out(s.substr(0, w));
    return out.append(w - out.size(), ' ');
  }
  std::string number(double value, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    return left(buf, numWidth());
  }
  std::string point(std::size_t n) { return right(std::to_string(n % (wide() ? 100000000 : 10000)), idWidth()); }

  void header() {
    line(wide() ? "00NMSDR33  V04-04.02    " : "00NMSDR20     V03-05    ", {"06-FEB-21 08:36 ", "111111"});
    line("10NM", {left("JOB" + std::to_string(options_.seed), 16), wide() ? "121111" : ""});
    line("06NM", {number(1.0, 8)});
    line("01NM", {":", left("SET600 V32-00", 16), "017040", left("SET600 V32-00", 16), "017040", "31", number(0, 3),
                  number(0, 3), number(-30, 1)});
  }

  void setup() {
    const std::size_t station = nextPoint_++;
    const double n = uniform(480000, 490000), e = uniform(1320000, 1330000), z = uniform(100, 200);
    if (chance(0.3)) line("05NM", {number(uniform(990, 1030), 1), number(uniform(-10, 30), 1)});
    if (chance(0.2)) line("13NM", {left("Станция на бровке канавы"_w, 60)});
    line("02TS", {point(station), number(n, 4), number(e, 4), number(z, 4), number(1.55, 3), left("ST", 16)});
    line("03NM", {number(1.5, 3)});
    line("07TP", {point(station), point(station + 1), number(uniform(0, 360), 4), number(0, 4)});
    const int targets = 6 + static_cast<int>(uniform(0, 10));
    for (int t = 0; t < targets && count_ < options_.records; ++t) observeTarget(station, n, e, z);
  }

  void observeTarget(std::size_t station, double n, double e, double z) {
    const std::size_t target = nextPoint_++;
    const double dist = uniform(5, 400), va = uniform(85, 95), ha = uniform(0, 360);
    const std::string note = left(chance(0.1) ? "угол забора"_w : std::string_view(), 16);
    line("09F1", {point(station), point(target), number(dist, 3), number(va, 4), number(ha, 4), note});
    if (chance(0.7)) {
      line("09F2", {point(station), point(target), number(dist + 0.001, 3), number(360 - va, 4),
                    number(ha < 180 ? ha + 180 : ha - 180, 4), note});
    }
    if (chance(0.05))
      line("09MC", {point(station), point(target), number(dist, 3), number(va, 4), number(ha, 4), note});
    if (chance(0.05))
      line("11NM", {point(station), point(target), number(ha, 4), number(dist, 3), number(0.5, 3), note});
    if (options_.recordedTargets < 1 && !chance(options_.recordedTargets)) return;
    line("08KI", {point(target), number(n + dist, 4), number(e + dist, 4), number(z + 1, 4), left("TP", 16)});
  }

  void levellingRun() {
    line("60NM", {"1", left("SDL30", 16), "123456", wide() ? left("0", 16) : left("0", 10)});
    const std::size_t start = nextPoint_++;
    line("61NM", {point(start), left("Репер"_w, 16), number(uniform(100, 200), 4)});
    line("62NM", {right("1", 5), point(start), right("4", 5)});
    for (int i = 0; i < 4; ++i) {
      const std::string cols = right("1", 5) + right("0", 5) + right("0", 5);
      if (i % 2) {
        line("63NM", {point(nextPoint_++), number(uniform(10, 50), 3), number(uniform(0.5, 3), 4), left("", 16), cols,
                      number(0, 3)});
      } else {
        line("64NM", {point(nextPoint_++), number(uniform(10, 50), 3), number(uniform(0.5, 3), 4), left("", 16), cols,
                      number(0, 3), number(uniform(0.5, 3), 4), number(uniform(0.5, 3), 4)});
      }
    }
    line("65NM", {number(0.0, 4)});
  }

  const FieldBookOptions& options_;
  std::mt19937_64 random_;
  std::string text_;
  std::size_t count_ = 0;
  std::size_t nextPoint_ = 1000;
};

}  // namespace

std::string generateFieldBook(const FieldBookOptions& options) { return BookWriter(options).build(); }

}  // namespace quillmar::tools
