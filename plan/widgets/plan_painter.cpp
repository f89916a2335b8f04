#include "plan/widgets/plan_painter.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <vector>

#include "document/text_codec.h"
#include "plan/widgets/label_space.h"
#include "plan/widgets/raster_layer.h"

namespace quillmar::plan {
namespace {

// Up to these counts in view every symbol and line is drawn on its own.
constexpr std::size_t kDetailedPoints = 20000;
constexpr std::size_t kDetailedLines = 20000;
// Labels are tried one per cell of this many pixels when points crowd.
constexpr int kLabelCell = 12;
constexpr double kTriangle = 5;
constexpr double kDot = 2.2;
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
const QColor kLabelColour(20, 20, 20);
const QColor kHighlight(255, 128, 0);
const QColor kHighlightLabel(255, 240, 200);
constexpr double kHighlightRadius = 9;

class Painter {
 public:
  Painter(QPainter& painter, const PlanPicture& picture)
      : p_(painter), data_(picture.data), view_(picture.view), visible_(picture.view.visibleExtent()) {}

  void paint(std::optional<std::size_t> highlighted) {
    p_.fillRect(QRectF(0, 0, view_.width(), view_.height()), kBackground);
    p_.setFont(labelFont());
    grid();
    collectVisible();
    const bool crowdedLines = visibleLines_.size() > kDetailedLines;
    const bool crowdedPoints = visiblePoints_.size() > kDetailedPoints;
    if (!crowdedLines) vectorLines();
    if (crowdedLines || crowdedPoints) {
      RasterLayer raster(width(), height());
      if (crowdedLines) rasterLines(raster);
      if (crowdedPoints) rasterPoints(raster, PointKind::Other, 2, kPointColour);
      p_.drawImage(QPointF(0, 0), raster.image());
    }
    if (!crowdedPoints) dots();
    stations();
    labels(highlighted);
    if (highlighted && *highlighted < data_.size()) highlight(*highlighted);
  }

 private:
  int width() const { return static_cast<int>(std::ceil(view_.width())); }
  int height() const { return static_cast<int>(std::ceil(view_.height())); }
  QPointF screen(std::size_t point) const {
    const ScreenPoint s = view_.toScreen(data_.positions()[point]);
    return {s.x, s.y};
  }
  static QFont labelFont() {
    QFont font;
    font.setPixelSize(11);
    return font;
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
    data_.grid().forEachNear(visible_, [this](std::size_t i) {
      if (visible_.contains(data_.positions()[i])) visiblePoints_.push_back(static_cast<std::uint32_t>(i));
    });
    for (const SightLine& line : data_.sightLines()) {
      Extent box;
      box.include(data_.positions()[line.station]);
      box.include(data_.positions()[line.target]);
      if (box.maxEast >= visible_.minEast && box.minEast <= visible_.maxEast &&
          box.maxNorth >= visible_.minNorth && box.minNorth <= visible_.maxNorth)
        visibleLines_.push_back(line);
    }
  }

  void vectorLines() {
    std::vector<QLineF> lines;
    lines.reserve(visibleLines_.size());
    for (const SightLine& line : visibleLines_) lines.emplace_back(screen(line.station), screen(line.target));
    p_.setPen(QPen(kLineColour, 0));
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.drawLines(lines.data(), static_cast<int>(lines.size()));
  }
  void rasterLines(RasterLayer& raster) {
    for (const SightLine& line : visibleLines_) {
      const QPointF a = screen(line.station), b = screen(line.target);
      raster.line(a.x(), a.y(), b.x(), b.y(), kLineColour.rgb());
    }
  }
  void rasterPoints(RasterLayer& raster, PointKind kind, int size, const QColor& colour) {
    for (const std::uint32_t i : visiblePoints_) {
      if (data_.points()[i].kind != kind) continue;
      const QPointF at = screen(i);
      raster.block(at.x(), at.y(), size, colour.rgb());
    }
  }

  void dots() {
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.setPen(Qt::NoPen);
    p_.setBrush(kPointColour);
    for (const std::uint32_t i : visiblePoints_)
      if (data_.points()[i].kind == PointKind::Other) p_.drawEllipse(screen(i), kDot, kDot);
  }

  // Stations stay triangles over a crowd of points: there are few of them,
  // and a wrong set-up shows by them.
  void stations() {
    std::size_t count = 0;
    for (const std::uint32_t i : visiblePoints_) count += data_.points()[i].kind == PointKind::Station;
    if (count > kDetailedPoints) {
      RasterLayer raster(width(), height());
      rasterPoints(raster, PointKind::Station, 3, kStationColour);
      p_.drawImage(QPointF(0, 0), raster.image());
      return;
    }
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.setPen(QPen(kStationColour.darker(130), 0.8));
    p_.setBrush(kStationColour);
    for (const std::uint32_t i : visiblePoints_)
      if (data_.points()[i].kind == PointKind::Station) p_.drawPolygon(triangle(screen(i), kTriangle));
  }
  static QPolygonF triangle(QPointF at, double size) {
    return QPolygonF({at + QPointF(0, -size), at + QPointF(size * 0.87, size * 0.5),
                      at + QPointF(-size * 0.87, size * 0.5)});
  }

  // Stations first, then points in book order, each to the right of its
  // symbol or else to the left; a label that would overlap another label or
  // another point's symbol is left out.
  void labels(std::optional<std::size_t> highlighted) {
    std::vector<std::uint32_t> candidates = labelCandidates();
    std::stable_sort(candidates.begin(), candidates.end(), [this](std::uint32_t a, std::uint32_t b) {
      return data_.points()[a].kind == PointKind::Station && data_.points()[b].kind != PointKind::Station;
    });
    LabelSpace space(view_.width(), view_.height());
    if (visiblePoints_.size() <= kDetailedPoints / 4) {
      for (const std::uint32_t i : visiblePoints_) {
        const double r = data_.points()[i].kind == PointKind::Station ? kTriangle : kDot;
        space.markSymbol(QRectF(screen(i) - QPointF(r, r), QSizeF(2 * r, 2 * r)), i);
      }
    }
    const QFontMetricsF metrics(p_.font());
    p_.setPen(kLabelColour);
    // A station and the position record of its point say the same name twice.
    QHash<QString, QPointF> placed;
    for (const std::uint32_t i : candidates) {
      if (i == highlighted) continue;  // drawn over everything, below
      const QString text = cp1251ToQString(data_.name(i));
      if (text.isEmpty()) continue;
      const auto same = placed.constFind(text);
      if (same != placed.constEnd() && QLineF(*same, screen(i)).length() < kSameLabelDistance) continue;
      const double textWidth = metrics.horizontalAdvance(text);
      for (const double dx : {kLabelGap, -kLabelGap - textWidth}) {
        const QPointF at = screen(i) + QPointF(dx, -kLabelRise);
        if (!space.claim(QRectF(at.x(), at.y() - metrics.ascent(), textWidth, metrics.height()), i)) continue;
        p_.drawText(at, text);
        placed.insert(text, screen(i));
        break;
      }
    }
  }
  std::vector<std::uint32_t> labelCandidates() const {
    if (visiblePoints_.size() <= kDetailedPoints / 4) return visiblePoints_;
    // One candidate per cell: the first station there, else the first point.
    const int columns = width() / kLabelCell + 1;
    const int rows = height() / kLabelCell + 1;
    std::vector<std::int64_t> chosen(static_cast<std::size_t>(columns) * rows, -1);
    for (const std::uint32_t i : visiblePoints_) {
      const QPointF at = screen(i);
      const int c = std::clamp(static_cast<int>(at.x() / kLabelCell), 0, columns - 1);
      const int r = std::clamp(static_cast<int>(at.y() / kLabelCell), 0, rows - 1);
      std::int64_t& cell = chosen[static_cast<std::size_t>(r) * columns + c];
      if (cell < 0 || preferredLabel(i, static_cast<std::uint32_t>(cell))) cell = i;
    }
    std::vector<std::uint32_t> candidates;
    for (const std::int64_t cell : chosen)
      if (cell >= 0) candidates.push_back(static_cast<std::uint32_t>(cell));
    std::sort(candidates.begin(), candidates.end());
    return candidates;
  }
  bool preferredLabel(std::uint32_t a, std::uint32_t b) const {
    const bool stationA = data_.points()[a].kind == PointKind::Station;
    const bool stationB = data_.points()[b].kind == PointKind::Station;
    return stationA != stationB ? stationA : a < b;
  }
  void highlight(std::size_t point) {
    const QPointF at = screen(point);
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.setBrush(Qt::NoBrush);
    p_.setPen(QPen(kHighlight, 2.5));
    p_.drawEllipse(at, kHighlightRadius, kHighlightRadius);
    QFont bold = p_.font();
    bold.setBold(true);
    p_.setFont(bold);
    const QString text = cp1251ToQString(data_.name(point));
    const QFontMetricsF metrics(bold);
    const QPointF base = at + QPointF(kHighlightRadius + 3, -kLabelRise);
    p_.fillRect(QRectF(base.x() - 2, base.y() - metrics.ascent(), metrics.horizontalAdvance(text) + 4,
                       metrics.height()),
                kHighlightLabel);
    p_.setPen(kLabelColour);
    p_.drawText(base, text);
  }

  QPainter& p_;
  const PlanData& data_;
  const ViewTransform& view_;
  const Extent visible_;
  std::vector<std::uint32_t> visiblePoints_;
  std::vector<SightLine> visibleLines_;
};

}  // namespace

void paintPlan(QPainter& painter, const PlanPicture& picture) {
  painter.save();
  Painter(painter, picture).paint(picture.highlighted);
  painter.restore();
}

}  // namespace quillmar::plan
