// SPDX-License-Identifier: GPL-3.0-or-later
// The adjustment in the results window: its page of points and residuals
// under a summary line, "Уравнять" with a progress window that can be
// cancelled, and the a priori weights, kept in the user's settings.

#include <algorithm>

#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <cmath>
#include <numbers>

#include "records/cp1251.h"
#include "records/table_text.h"
#include "survey/widgets/results_table.h"
#include "survey/widgets/results_window.h"
#include "widgets/text_codec.h"
#include "widgets/user_settings.h"

namespace quillmar::survey {
namespace {

QString fixed(double value, int decimals) { return QString::fromStdString(FixedText(value, decimals)); }
QString fixed(const std::optional<double>& value, int decimals) { return value ? fixed(*value, decimals) : QString(); }
QString rowNumber(std::uint32_t row) { return QString::number(std::uint64_t{row} + 1); }

// Lengths of the statistics in millimetres, whatever the book's unit.
std::optional<double> millimetres(const std::optional<double>& length, const Adjustment& adjustment) {
  if (!length) return std::nullopt;
  return *length / adjustment.unitsPerMetre * 1000;
}

QString verdictText(ChiSquareVerdict verdict) {
  switch (verdict) {
    case ChiSquareVerdict::Passed: return QStringLiteral("тест χ² (95 %) выдержан");
    case ChiSquareVerdict::TooSmall: return QStringLiteral("тест χ² (95 %): m0' слишком мал");
    case ChiSquareVerdict::TooLarge: return QStringLiteral("тест χ² (95 %) не выдержан: m0' слишком велик");
    case ChiSquareVerdict::NoRedundancy: return QStringLiteral("нет избыточных измерений");
  }
  return {};
}

struct Weight {
  const char* key;
  QString label;
  double AdjustmentOptions::*value;
  double largest;
};
const Weight kWeights[] = {
    {"adjust/sigmaDirection", QStringLiteral("Направления и азимуты, ″"), &AdjustmentOptions::sigmaDirection, 600},
    {"adjust/sigmaDistanceMm", QStringLiteral("Расстояния, мм"), &AdjustmentOptions::sigmaDistanceMm, 1000},
    {"adjust/sigmaDistancePpm", QStringLiteral("Расстояния, мм/км (ppm)"), &AdjustmentOptions::sigmaDistancePpm, 1000},
    {"adjust/sigmaZenith", QStringLiteral("Зенитные углы, ″"), &AdjustmentOptions::sigmaZenith, 600},
};

}  // namespace

void ResultsWindow::createAdjustmentTables() {
  auto* page = new QWidget(tabs_);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  summary_ = new QLabel(page);
  summary_->setObjectName(QStringLiteral("adjustmentSummary"));
  summary_->setWordWrap(true);
  summary_->setContentsMargins(6, 4, 6, 4);
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(summary_);
  auto* splitter = new QSplitter(Qt::Vertical, page);
  layout->addWidget(splitter, 1);
  tabs_->addTab(page, QString());

  const auto point = [this](std::size_t k) -> const AdjustedPoint& { return adjustment_->points[k]; };
  const auto mm = [this, point](std::size_t k, std::optional<double> AdjustedPoint::*length) {
    return fixed(millimetres(point(k).*length, *adjustment_), 1);
  };
  auto* points = new ResultsTable(
      {{QStringLiteral("Точка"), [this, point](std::size_t k) { return name(point(k).point); }},
       {QStringLiteral("N"), [point](std::size_t k) { return fixed(point(k).north, 4); }, true},
       {QStringLiteral("E"), [point](std::size_t k) { return fixed(point(k).east, 4); }, true},
       {QStringLiteral("Elev"), [point](std::size_t k) { return fixed(point(k).elevation, 4); }, true},
       {QStringLiteral("sN, мм"), [mm](std::size_t k) { return mm(k, &AdjustedPoint::sNorth); }, true},
       {QStringLiteral("sE, мм"), [mm](std::size_t k) { return mm(k, &AdjustedPoint::sEast); }, true},
       {QStringLiteral("sElev, мм"), [mm](std::size_t k) { return mm(k, &AdjustedPoint::sElevation); }, true},
       {QStringLiteral("a, мм"), [mm](std::size_t k) { return mm(k, &AdjustedPoint::a); }, true},
       {QStringLiteral("b, мм"), [mm](std::size_t k) { return mm(k, &AdjustedPoint::b); }, true},
       {QStringLiteral("Азимут a"),
        [this, point](std::size_t k) {
          const auto& bearing = point(k).bearing;
          return bearing ? fixed(*bearing * adjustment_->fullCircle / (2 * std::numbers::pi), 4) : QString();
        },
        true},
       {QStringLiteral("Роль"),
        [point](std::size_t k) {
          return point(k).role == PointRole::Fixed ? QStringLiteral("исходный") : QStringLiteral("уравнен");
        }}},
      [this] { return adjustment_ ? adjustment_->points.size() : 0; }, [](std::size_t) { return 0u; }, this);
  addTable(Adjusted, points);
  splitter->addWidget(views_[Adjusted]);

  const auto seen = [this](std::size_t k) -> const AdjustedObservation& { return adjustment_->observations[k]; };
  auto* residuals = new ResultsTable(
      {{QStringLiteral("Строка"), [seen](std::size_t k) { return rowNumber(seen(k).row); }, true},
       {QStringLiteral("Станция"), [this, seen](std::size_t k) { return name(seen(k).station); }},
       {QStringLiteral("Цель"),
        [this, seen](std::size_t k) { return seen(k).hasTarget ? name(seen(k).target) : QString(); }},
       {QStringLiteral("Вид"), [seen](std::size_t k) { return cp1251ToQString(ObservationKindText(seen(k).kind)); }},
       {QStringLiteral("Поправка"),
        [this, seen](std::size_t k) { return cp1251ToQString(ResidualText(*adjustment_, seen(k), "мм"_w)); }, true},
       {QStringLiteral("Нормированная"), [seen](std::size_t k) { return fixed(seen(k).standardized, 2); }, true},
       {QStringLiteral("Доля избыточности"), [seen](std::size_t k) { return fixed(seen(k).redundancy, 3); }, true}},
      [this] { return adjustment_ ? adjustment_->observations.size() : 0; },
      [seen](std::size_t k) { return seen(k).row; }, this);
  residuals->setMarked([this](std::size_t k) {
    return adjustment_ && std::ranges::find(adjustment_->suspects, k) != adjustment_->suspects.end();
  });
  addTable(Residuals, residuals);
  splitter->addWidget(views_[Residuals]);
}

QString ResultsWindow::name(std::uint32_t point) const {
  return adjustment_ && point < adjustment_->names.size() ? cp1251ToQString(adjustment_->names[point]) : QString();
}

void ResultsWindow::adjust() {
  adjusting_ = true;  // the refresh adjusts, once
  refresh();
  tabs_->setCurrentIndex(Adjusted);
}

// False when the user cancelled: the adjustment shown is then none.
bool ResultsWindow::runAdjustment() {
  QProgressDialog progress(QStringLiteral("Уравнивание…"), QStringLiteral("Отмена"), 0, 100, this);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(500);
  Adjustment made =
      AdjustBook(list_, static_cast<std::size_t>(rows_.rowCount()), choice_, options_, [&progress](double done) {
        progress.setValue(static_cast<int>(done * 100));
        return !progress.wasCanceled();
      });
  const bool done = !made.cancelled;
  if (done)
    adjustment_ = std::move(made);
  else
    adjustment_.reset(), adjusting_ = false;
  emit adjusted();
  return done;
}

QString ResultsWindow::adjustmentSummary() const {
  if (!adjustment_) return QStringLiteral("Книга не уравнена: «Уравнять» на панели окна.");
  const Adjustment& made = *adjustment_;
  const auto statistics = [](const QString& what, const AdjustmentStatistics& s) {
    QString line = QStringLiteral("%1: m0' = %2, избыточных измерений %3, %4")
                       .arg(what, fixed(s.m0, 4))
                       .arg(s.redundancy)
                       .arg(verdictText(s.verdict));
    if (!s.converged) line += QStringLiteral("; итерации не сошлись за %1 шагов").arg(s.iterations);
    return line;
  };
  QString text = statistics(QStringLiteral("План"), made.plane);
  if (made.heights.observations > 0) text += QStringLiteral("\n") + statistics(QStringLiteral("Высоты"), made.heights);
  if (!made.suspectText.empty()) text += QStringLiteral("\n") + cp1251ToQString(made.suspectText);
  if (!made.unadjusted.empty()) text += QStringLiteral("\nНе уравнено: %1").arg(made.unadjusted.size());
  return text;
}

AdjustmentOptions ResultsWindow::savedAdjustmentOptions() {
  AdjustmentOptions options;
  const auto settings = userSettings();
  for (const Weight& weight : kWeights) {
    const double value = settings->value(QLatin1String(weight.key), options.*weight.value).toDouble();
    if (value > 0 && value <= weight.largest) options.*weight.value = value;
  }
  return options;
}

void ResultsWindow::setAdjustmentOptions(const AdjustmentOptions& options) {
  options_ = options;
  const auto settings = userSettings();
  for (const Weight& weight : kWeights) settings->setValue(QLatin1String(weight.key), options.*weight.value);
  if (adjusting_) markStale();
}

void ResultsWindow::editWeights() {
  QDialog dialog(this);
  dialog.setWindowTitle(QStringLiteral("Веса измерений"));
  auto* form = new QFormLayout(&dialog);
  std::vector<QDoubleSpinBox*> boxes;
  for (const Weight& weight : kWeights) {
    auto* box = new QDoubleSpinBox(&dialog);
    box->setRange(0.01, weight.largest);
    box->setDecimals(2);
    box->setValue(options_.*weight.value);
    form->addRow(weight.label, box);
    boxes.push_back(box);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return;
  AdjustmentOptions options = options_;
  for (std::size_t k = 0; k < std::size(kWeights); ++k) options.*kWeights[k].value = boxes[k]->value();
  setAdjustmentOptions(options);
}

}  // namespace quillmar::survey
