// SPDX-License-Identifier: GPL-3.0-or-later
// The tables of the results window: what each column shows.

#include <QStringList>
#include <QTableView>

#include <cmath>
#include <optional>

#include "records/table_text.h"
#include "survey/widgets/results_table.h"
#include "survey/widgets/results_window.h"
#include "widgets/text_codec.h"

namespace quillmar::survey {
namespace {

QString coordinate(double value) { return QString::fromStdString(FixedText(value, 4)); }
QString coordinate(const std::optional<double>& value) { return value ? coordinate(*value) : QString(); }
QString rowNumber(std::uint32_t row) { return QString::number(std::uint64_t{row} + 1); }
QString nameOf(const std::string& bytes) { return cp1251ToQString(bytes); }

// Small angles in the book's seconds: arc seconds of a degree book,
// centesimal seconds of a gon book, mils as they are.
struct SmallAngle {
  double perUnit;
  QString unit;
};
SmallAngle smallAngleOf(double fullCircle) {
  if (fullCircle == 400.0) return {10000.0, QStringLiteral("cc")};
  if (fullCircle == 6400.0) return {1.0, QStringLiteral("mil")};
  return {3600.0, QStringLiteral("″")};
}
QString seconds(const std::optional<double>& angle, double fullCircle) {
  if (!angle) return {};
  const SmallAngle small = smallAngleOf(fullCircle);
  return QString::fromStdString(FixedText(*angle * small.perUnit, small.perUnit == 1.0 ? 3 : 1));
}

QString references(const StationResult& station, double fullCircle, bool feet) {
  QStringList parts;
  for (const Reference& reference : station.references) {
    QString part = nameOf(reference.point);
    if (reference.orientationResidual)
      part += QStringLiteral(" %1%2").arg(seconds(reference.orientationResidual, fullCircle),
                                          smallAngleOf(fullCircle).unit);
    if (reference.distanceResidual)
      part +=
          feet ? QStringLiteral(" %1 фт").arg(coordinate(reference.distanceResidual))
               : QStringLiteral(" %1 мм").arg(QString::fromStdString(FixedText(*reference.distanceResidual * 1000, 1)));
    parts << part;
  }
  return parts.join(QStringLiteral("; "));
}

}  // namespace

void ResultsWindow::createTables() {
  createPointTables();
  createSetUpTables();
  createAdjustmentTables();
}

void ResultsWindow::createPointTables() {
  const auto& points = results_.points;
  const auto& solutions = results_.solutions;
  const auto check = [this](std::size_t k) -> const Solution& { return results_.solutions[checkShots_[k]]; };

  addTable(
      Points,
      new ResultsTable(
          {{QStringLiteral("Точка"), [&points](std::size_t k) { return nameOf(points[k].point); }},
           {QStringLiteral("N"), [&points](std::size_t k) { return coordinate(points[k].north); }, true},
           {QStringLiteral("E"), [&points](std::size_t k) { return coordinate(points[k].east); }, true},
           {QStringLiteral("Elev"), [&points](std::size_t k) { return coordinate(points[k].elevation); }, true},
           {QStringLiteral("Решений"), [&points](std::size_t k) { return QString::number(points[k].solutions); }, true},
           {QStringLiteral("Разброс"),
            [&points](std::size_t k) { return points[k].solutions > 1 ? coordinate(points[k].spread) : QString(); },
            true},
           {QStringLiteral("Строка"), [&points](std::size_t k) { return rowNumber(points[k].lastRow); }, true},
           {QStringLiteral("В книге"),
            [&points](std::size_t k) {
              const ComputedPoint& point = points[k];
              if (!point.inserted) return QString();
              return QStringLiteral("вставлено из вычислений (dN %1, dE %2)")
                  .arg(coordinate(point.dNorth), coordinate(point.dEast));
            }}},
          [&points] { return points.size(); }, [&points](std::size_t k) { return points[k].lastRow; }, this));

  addTable(
      Solutions,
      new ResultsTable(
          {{QStringLiteral("Точка"), [&solutions](std::size_t k) { return nameOf(solutions[k].point); }},
           {QStringLiteral("Станция"), [&solutions](std::size_t k) { return nameOf(solutions[k].station); }},
           {QStringLiteral("Способ"),
            [&solutions](std::size_t k) { return cp1251ToQString(MethodText(solutions[k].method)); }},
           {QStringLiteral("N"), [&solutions](std::size_t k) { return coordinate(solutions[k].north); }, true},
           {QStringLiteral("E"), [&solutions](std::size_t k) { return coordinate(solutions[k].east); }, true},
           {QStringLiteral("Elev"), [&solutions](std::size_t k) { return coordinate(solutions[k].elevation); }, true},
           {QStringLiteral("Строка"), [&solutions](std::size_t k) { return rowNumber(solutions[k].row); }, true}},
          [&solutions] { return solutions.size(); }, [&solutions](std::size_t k) { return solutions[k].row; }, this));

  addTable(CheckShots,
           new ResultsTable(
               {{QStringLiteral("Точка"), [check](std::size_t k) { return nameOf(check(k).point); }},
                {QStringLiteral("Станция"), [check](std::size_t k) { return nameOf(check(k).station); }},
                {QStringLiteral("dN"), [check](std::size_t k) { return coordinate(check(k).dNorth); }, true},
                {QStringLiteral("dE"), [check](std::size_t k) { return coordinate(check(k).dEast); }, true},
                {QStringLiteral("dElev"), [check](std::size_t k) { return coordinate(check(k).dElevation); }, true},
                {QStringLiteral("N"), [check](std::size_t k) { return coordinate(check(k).north); }, true},
                {QStringLiteral("E"), [check](std::size_t k) { return coordinate(check(k).east); }, true},
                {QStringLiteral("Elev"), [check](std::size_t k) { return coordinate(check(k).elevation); }, true},
                {QStringLiteral("Строка"), [check](std::size_t k) { return rowNumber(check(k).row); }, true}},
               [this] { return checkShots_.size(); }, [check](std::size_t k) { return check(k).row; }, this));
}

void ResultsWindow::createSetUpTables() {
  const auto& pairs = results_.pairs;
  const auto& stations = results_.stations;
  const auto& failures = results_.failures;
  const double& full = results_.fullCircle;
  const QString unit = smallAngleOf(full).unit;

  addTable(FacePairs,
           new ResultsTable(
               {{QStringLiteral("Точка"), [&pairs](std::size_t k) { return nameOf(pairs[k].point); }},
                {QStringLiteral("Станция"), [&pairs](std::size_t k) { return nameOf(pairs[k].station); }},
                {QStringLiteral("Коллимация, %1").arg(unit),
                 [&pairs, &full](std::size_t k) { return seconds(pairs[k].collimation, full); }, true},
                {QStringLiteral("Место нуля, %1").arg(unit),
                 [&pairs, &full](std::size_t k) { return seconds(pairs[k].index, full); }, true},
                {QStringLiteral("Строка КЛ"), [&pairs](std::size_t k) { return rowNumber(pairs[k].row1); }, true},
                {QStringLiteral("Строка КП"), [&pairs](std::size_t k) { return rowNumber(pairs[k].row2); }, true}},
               [&pairs] { return pairs.size(); }, [&pairs](std::size_t k) { return pairs[k].row1; }, this));

  addTable(
      Stations,
      new ResultsTable(
          {{QStringLiteral("Станция"), [&stations](std::size_t k) { return nameOf(stations[k].station); }},
           {QStringLiteral("Способ"),
            [&stations](std::size_t k) { return cp1251ToQString(PlacingText(stations[k].placing)); }},
           {QStringLiteral("N"), [&stations](std::size_t k) { return coordinate(stations[k].north); }, true},
           {QStringLiteral("E"), [&stations](std::size_t k) { return coordinate(stations[k].east); }, true},
           {QStringLiteral("Elev"), [&stations](std::size_t k) { return coordinate(stations[k].elevation); }, true},
           {QStringLiteral("Ориентирование"),
            [&stations](std::size_t k) {
              return stations[k].orientation ? QString::fromStdString(FixedText(*stations[k].orientation, 5))
                                             : QString();
            },
            true},
           {QStringLiteral("Строка"), [&stations](std::size_t k) { return rowNumber(stations[k].row); }, true},
           {QStringLiteral("Причина"),
            [&stations](std::size_t k) {
              return stations[k].failure ? cp1251ToQString(FailureText(*stations[k].failure)) : QString();
            }},
           {QStringLiteral("Опорные пункты"),
            [this](std::size_t k) { return references(results_.stations[k], results_.fullCircle, results_.feet); }}},
          [&stations] { return stations.size(); }, [&stations](std::size_t k) { return stations[k].row; }, this));

  const auto& recorded = results_.recorded;
  addTable(
      Control,
      new ResultsTable(
          {{QStringLiteral("Точка"), [&recorded](std::size_t k) { return nameOf(recorded[k].point); }},
           {QStringLiteral("Исходный"), [](std::size_t) { return QString(); }, false,
            [&recorded](std::size_t k) { return std::optional<bool>(recorded[k].control); },
            [this](std::size_t k, bool control) { setControl(results_.recorded[k].point, control); }},
           {QStringLiteral("N"), [&recorded](std::size_t k) { return coordinate(recorded[k].north); }, true},
           {QStringLiteral("E"), [&recorded](std::size_t k) { return coordinate(recorded[k].east); }, true},
           {QStringLiteral("Elev"), [&recorded](std::size_t k) { return coordinate(recorded[k].elevation); }, true},
           {QStringLiteral("Строка"), [&recorded](std::size_t k) { return rowNumber(recorded[k].row); }, true},
           {QStringLiteral("Примечание"),
            [this](std::size_t k) {
              const RecordedPoint& point = results_.recorded[k];
              if (!point.contradiction) return QString();
              return cp1251ToQString(SetAsideText({point.point, point.row, *point.contradiction}, results_.feet));
            }}},
          [&recorded] { return recorded.size(); }, [&recorded](std::size_t k) { return recorded[k].row; }, this));

  addTable(Failures,
           new ResultsTable(
               {{QStringLiteral("Строка"), [&failures](std::size_t k) { return rowNumber(failures[k].row); }, true},
                {QStringLiteral("Причина"),
                 [&failures](std::size_t k) { return cp1251ToQString(FailureText(failures[k].reason)); }},
                {QStringLiteral("Запись"),
                 [this](std::size_t k) {
                   const std::uint32_t row = results_.failures[k].row;
                   return row < list_.size() ? readableCaption(list_.caption(row)) : QString();
                 }}},
               [&failures] { return failures.size(); }, [&failures](std::size_t k) { return failures[k].row; }, this));
}

}  // namespace quillmar::survey
