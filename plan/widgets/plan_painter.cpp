// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/widgets/plan_painter.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "plan/widgets/label_space.h"
#include "plan/widgets/raster_layer.h"
#include "widgets/text_codec.h"

namespace quillmar::plan {
namespace {

// Up to these counts in view every symbol and line is drawn on its own.
constexpr std::size_t kDetailedPoints = 20000;
constexpr std::size_t kDetailedLines = 20000;
// Labels are tried one per cell of this many pixels when points crowd.
constexpr int kLabelCell = 12;
constexpr double kTriangle = 5;
constexpr double kDot = 2.2;
constexpr double kRing = 3.6;  // a computed point: hollow, so a recorded one stands out
// A label starts this far right (or ends this far left) of its point, its
// base line this far above it.
constexpr double kLabelGap = 6;
constexpr double kLabelRise = 4;
// One label for points of one name closer than this, in pixels.
constexpr double kSameLabelDistance = 12;
constexpr double kGridSpacing = 110;  // pixels between grid lines, about
constexpr int kMaxGridLines = 200;

const QColor kBackground(255, 255, 255);
const QColor kGridColour(226, 230, 236);
const QColor kGridText(120, 128, 140);
const QColor kLineColour(150, 170, 196);
const QColor kStationColour(196, 40, 32);
const QColor kPointColour(24, 52, 120);
const QColor kComputedColour(0, 128, 72);
const QColor kComputedLineColour(120, 196, 150);
const QColor kLabelColour(20, 20, 20);
const QColor kHighlight(255, 128, 0);
const QColor kHighlightLabel(255, 240, 200);
constexpr double kHighlightRadius = 9;
const QColor kEllipseColour(200, 0, 160);
// The largest ellipse's semi-axis is drawn about this long, its magnification
// written above the scale bar.
constexpr double kEllipsePixels = 20;
constexpr double kEllipseNoteRise = 42;

QFont labelFont() {
  QFont font;
  font.setPixelSize(11);
  return font;
}

class Painter {
  struct Shown {
    QPointF at;
    std::uint32_t point;
    PointKind kind;
    bool station() const { return kind == PointKind::Station; }
  };

 public:
  Painter(QPainter& painter, const PlanPicture& picture)
      : p_(painter),
        data_(picture.data),
        view_(picture.view),
        visible_(picture.view.visibleExtent()),
        labelsAt_(picture.labelsAt) {}

  void paint(std::optional<std::size_t> highlighted) {
    p_.fillRect(QRectF(0, 0, view_.width(), view_.height()), kBackground);
    p_.setFont(labelFont());
    grid();
    collectVisible();
    const bool crowdedLines = visibleLines_.size() + visibleComputedLines_.size() > kDetailedLines;
    const bool crowdedPoints = visiblePoints_.size() > kDetailedPoints;
    if (!crowdedLines) vectorLines();
    ellipses();
    if (crowdedLines || crowdedPoints) {
      RasterLayer raster(width(), height());
      if (crowdedLines) rasterLines(raster);
      if (crowdedPoints) rasterPoints(raster, PointKind::Other, 2, kPointColour);
      if (crowdedPoints) rasterPoints(raster, PointKind::Computed, 2, kComputedColour);
      if (crowdedPoints) rasterPoints(raster, PointKind::ComputedStation, 3, kComputedColour);
      p_.drawImage(QPointF(0, 0), raster.image());
    }
    if (!crowdedPoints) dots();
    if (!crowdedPoints) rings();
    stations();
    labels(highlighted);
  }

 private:
  int width() const { return static_cast<int>(std::ceil(view_.width())); }
  int height() const { return static_cast<int>(std::ceil(view_.height())); }
  QPointF screen(std::size_t point) const {
    const ScreenPoint s = view_.toScreen(data_.positions()[point]);
    return {s.x, s.y};
  }

  // Pale lines at round coordinates, labelled at the left and bottom edges,
  // so that a point can be read off the picture.
  void grid() {
    const double step = niceStep(kGridSpacing / view_.scale());
    p_.setPen(QPen(kGridColour, 0));
    const double firstEast = std::ceil(visible_.minEast / step) * step;
    const double firstNorth = std::ceil(visible_.minNorth / step) * step;
    for (int k = 0; k < kMaxGridLines; ++k) {
      const double e = firstEast + k * step;
      if (e > visible_.maxEast) break;
      const double x = view_.toScreen({e, 0}).x;
      p_.setPen(QPen(kGridColour, 0));
      p_.drawLine(QPointF(x, 0), QPointF(x, view_.height()));
      gridLabel(QPointF(x + 2, view_.height() - 3), number(e, step));
    }
    for (int k = 0; k < kMaxGridLines; ++k) {
      const double n = firstNorth + k * step;
      if (n > visible_.maxNorth) break;
      const double y = view_.toScreen({0, n}).y;
      p_.setPen(QPen(kGridColour, 0));
      p_.drawLine(QPointF(0, y), QPointF(view_.width(), y));
      gridLabel(QPointF(2, y - 2), number(n, step));
    }
  }
  void gridLabel(QPointF at, const QString& text) {
    const QFontMetricsF metrics(p_.font());
    if (at.x() + metrics.horizontalAdvance(text) > view_.width() || at.y() - metrics.ascent() < 0) return;
    p_.setPen(kGridText);
    p_.drawText(at, text);
  }
  static double niceStep(double rough) {
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double m : {1.0, 2.0, 5.0})
      if (m * power >= rough) return m * power;
    return 10 * power;
  }
  static QString number(double value, double step) {
    const int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step)));
    return QString::number(std::abs(value) < step / 2 ? 0.0 : value, 'f', decimals);
  }

  void collectVisible() {
    // Screen places and kinds once, in one array: the passes below then read
    // it in order instead of jumping about the whole plan.
    data_.grid().forEachNear(visible_, [this](std::size_t i) {
      if (!visible_.contains(data_.positions()[i])) return;
      visiblePoints_.push_back({screen(i), static_cast<std::uint32_t>(i), data_.points()[i].kind});
    });
    collectLines(data_.sightLines(), visibleLines_);
    collectLines(data_.computedLines(), visibleComputedLines_);
  }
  void collectLines(const std::vector<SightLine>& all, std::vector<SightLine>& visible) const {
    for (const SightLine& line : all) {
      Extent box;
      box.include(data_.positions()[line.station]);
      box.include(data_.positions()[line.target]);
      if (box.maxEast >= visible_.minEast && box.minEast <= visible_.maxEast && box.maxNorth >= visible_.minNorth &&
          box.minNorth <= visible_.maxNorth)
        visible.push_back(line);
    }
  }

  void vectorLines() {
    std::vector<QLineF> lines;
    lines.reserve(visibleLines_.size());
    for (const SightLine& line : visibleLines_) lines.emplace_back(screen(line.station), screen(line.target));
    p_.setPen(QPen(kLineColour, 0));
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.drawLines(lines.data(), static_cast<int>(lines.size()));
    if (visibleComputedLines_.empty()) return;
    lines.clear();
    for (const SightLine& line : visibleComputedLines_) lines.emplace_back(screen(line.station), screen(line.target));
    p_.setPen(QPen(kComputedLineColour, 0, Qt::DashLine));
    p_.drawLines(lines.data(), static_cast<int>(lines.size()));
  }
  // Each ellipse enlarged alike, a rotated from north (up) clockwise.
  void ellipses() {
    const double magnification = EllipseMagnification(data_.ellipses(), view_.scale(), kEllipsePixels);
    if (magnification <= 0) return;
    const double pixels = magnification * view_.scale();
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.setPen(QPen(kEllipseColour, 1.2));
    p_.setBrush(Qt::NoBrush);
    for (const ErrorEllipse& ellipse : data_.ellipses()) {
      if (!visible_.contains(ellipse.centre)) continue;
      const ScreenPoint at = view_.toScreen(ellipse.centre);
      p_.save();
      p_.translate(at.x, at.y);
      p_.rotate(ellipse.bearing * 180 / std::numbers::pi);
      p_.drawEllipse(QPointF(0, 0), ellipse.b * pixels, ellipse.a * pixels);
      p_.restore();
    }
    const QString note = QStringLiteral("эллипсы ×%1").arg(magnification, 0, 'f', 0);
    const QFontMetricsF metrics(p_.font());
    const QPointF base(view_.width() - 12 - metrics.horizontalAdvance(note), view_.height() - kEllipseNoteRise);
    p_.fillRect(QRectF(base.x() - 3, base.y() - metrics.ascent() - 2, metrics.horizontalAdvance(note) + 6,
                       metrics.height() + 3),
                QColor(255, 255, 255, 200));
    p_.setPen(kEllipseColour);
    p_.drawText(base, note);
  }
  void rasterLines(RasterLayer& raster) {
    for (const SightLine& line : visibleLines_) {
      const QPointF a = screen(line.station), b = screen(line.target);
      raster.line(a.x(), a.y(), b.x(), b.y(), kLineColour.rgb());
    }
    for (const SightLine& line : visibleComputedLines_) {
      const QPointF a = screen(line.station), b = screen(line.target);
      raster.line(a.x(), a.y(), b.x(), b.y(), kComputedLineColour.rgb());
    }
  }
  void rasterPoints(RasterLayer& raster, PointKind kind, int size, const QColor& colour) {
    for (const Shown& shown : visiblePoints_)
      if (shown.kind == kind) raster.block(shown.at.x(), shown.at.y(), size, colour.rgb());
  }

  void dots() {
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.setPen(Qt::NoPen);
    p_.setBrush(kPointColour);
    for (const Shown& shown : visiblePoints_)
      if (shown.kind == PointKind::Other) p_.drawEllipse(shown.at, kDot, kDot);
  }
  void rings() {
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.setPen(QPen(kComputedColour, 1.3));
    p_.setBrush(kBackground);
    for (const Shown& shown : visiblePoints_) {
      if (shown.kind == PointKind::Computed) p_.drawEllipse(shown.at, kRing, kRing);
      // A station placed from its sights: hollow, in the computed colour.
      if (shown.kind == PointKind::ComputedStation) p_.drawPolygon(triangle(shown.at, kTriangle));
    }
  }

  // Stations stay triangles over a crowd of points: there are few of them,
  // and a wrong set-up shows by them.
  void stations() {
    const auto count =
        std::count_if(visiblePoints_.begin(), visiblePoints_.end(), [](const Shown& shown) { return shown.station(); });
    if (static_cast<std::size_t>(count) > kDetailedPoints) {
      RasterLayer raster(width(), height());
      rasterPoints(raster, PointKind::Station, 3, kStationColour);
      p_.drawImage(QPointF(0, 0), raster.image());
      return;
    }
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.setPen(QPen(kStationColour.darker(130), 0.8));
    p_.setBrush(kStationColour);
    for (const Shown& shown : visiblePoints_)
      if (shown.station()) p_.drawPolygon(triangle(shown.at, kTriangle));
  }
  static QPolygonF triangle(QPointF at, double size) {
    return QPolygonF(
        {at + QPointF(0, -size), at + QPointF(size * 0.87, size * 0.5), at + QPointF(-size * 0.87, size * 0.5)});
  }

  // Stations first, then points in book order, each to the right of its
  // symbol or else to the left; a label that would overlap another label or
  // another point's symbol is left out.
  void labels(std::optional<std::size_t> highlighted) {
    std::vector<Shown> candidates = labelCandidates();
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Shown& a, const Shown& b) { return a.station() && !b.station(); });
    LabelSpace space(view_.width(), view_.height());
    // Every point in view keeps its symbol clear, so a crowd has no labels.
    for (const Shown& shown : visiblePoints_) {
      const double r = shown.station() || shown.kind == PointKind::ComputedStation ? kTriangle
                       : shown.kind == PointKind::Computed                         ? kRing
                                                                                   : kDot;
      space.markSymbol(QRectF(shown.at - QPointF(r, r), QSizeF(2 * r, 2 * r)), shown.point);
    }
    const QFontMetricsF metrics(p_.font());
    p_.setPen(kLabelColour);
    // A station and the position record of its point say the same name twice.
    struct Placed {
      QPointF symbol, label;
    };
    QHash<QString, Placed> placed;
    for (const Shown& shown : candidates) {
      if (shown.point == highlighted) continue;  // drawn over everything
      const QString text = cp1251ToQString(data_.name(shown.point));
      if (text.isEmpty()) continue;
      const auto same = placed.constFind(text);
      if (same != placed.constEnd() && QLineF(same->symbol, shown.at).length() < kSameLabelDistance) {
        if (labelsAt_ != nullptr) labelsAt_->insert(shown.point, same->label);
        continue;
      }
      const double textWidth = metrics.horizontalAdvance(text);
      for (const double dx : {kLabelGap, -kLabelGap - textWidth}) {
        const QPointF at = shown.at + QPointF(dx, -kLabelRise);
        if (!space.claim(QRectF(at.x(), at.y() - metrics.ascent(), textWidth, metrics.height()), shown.point)) continue;
        p_.drawText(at, text);
        placed.insert(text, {shown.at, at});
        if (labelsAt_ != nullptr) labelsAt_->insert(shown.point, at);
        break;
      }
    }
  }
  // Points in book order; where they crowd, one per cell of the picture:
  // the first station there, else the first point.
  std::vector<Shown> labelCandidates() const {
    std::vector<Shown> candidates;
    if (visiblePoints_.size() <= kDetailedPoints / 4) {
      candidates = visiblePoints_;
    } else {
      const int columns = width() / kLabelCell + 1;
      const int rows = height() / kLabelCell + 1;
      std::vector<std::int64_t> chosen(static_cast<std::size_t>(columns) * rows, -1);
      for (std::size_t k = 0; k < visiblePoints_.size(); ++k) {
        const QPointF at = visiblePoints_[k].at;
        const int c = std::clamp(static_cast<int>(at.x() / kLabelCell), 0, columns - 1);
        const int r = std::clamp(static_cast<int>(at.y() / kLabelCell), 0, rows - 1);
        std::int64_t& cell = chosen[static_cast<std::size_t>(r) * columns + c];
        if (cell < 0 || preferredLabel(visiblePoints_[k], visiblePoints_[static_cast<std::size_t>(cell)]))
          cell = static_cast<std::int64_t>(k);
      }
      for (const std::int64_t cell : chosen)
        if (cell >= 0) candidates.push_back(visiblePoints_[static_cast<std::size_t>(cell)]);
    }
    std::sort(candidates.begin(), candidates.end(), [](const Shown& a, const Shown& b) { return a.point < b.point; });
    return candidates;
  }
  static bool preferredLabel(const Shown& a, const Shown& b) {
    return a.station() != b.station() ? a.station() : a.point < b.point;
  }
  QPainter& p_;
  const PlanData& data_;
  const ViewTransform& view_;
  const Extent visible_;
  std::vector<Shown> visiblePoints_;
  std::vector<SightLine> visibleLines_;
  std::vector<SightLine> visibleComputedLines_;
  QHash<std::size_t, QPointF>* labelsAt_;
};

}  // namespace

void paintPlan(QPainter& painter, const PlanPicture& picture) {
  painter.save();
  Painter(painter, picture).paint(picture.highlighted);
  painter.restore();
  if (picture.highlighted) paintHighlight(painter, picture.data, picture.view, *picture.highlighted);
}

// The point's name in bold over its usual label, and a ring around it.
void paintHighlight(QPainter& painter, const PlanData& data, const ViewTransform& view, std::size_t point,
                    std::optional<QPointF> labelAt) {
  if (point >= data.size()) return;
  painter.save();
  const ScreenPoint s = view.toScreen(data.positions()[point]);
  const QPointF at(s.x, s.y);
  painter.setRenderHint(QPainter::Antialiasing, true);
  QFont bold = labelFont();
  bold.setBold(true);
  painter.setFont(bold);
  const QString text = cp1251ToQString(data.name(point));
  const QFontMetricsF metrics(bold);
  const QPointF base = labelAt.value_or(at + QPointF(kLabelGap, -kLabelRise));
  painter.fillRect(
      QRectF(base.x() - 1, base.y() - metrics.ascent(), metrics.horizontalAdvance(text) + 4, metrics.height()),
      kHighlightLabel);
  painter.setPen(kLabelColour);
  painter.drawText(base, text);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(kHighlight, 2.5));
  painter.drawEllipse(at, kHighlightRadius, kHighlightRadius);
  painter.restore();
}

}  // namespace quillmar::plan
