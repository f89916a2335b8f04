// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/widgets/results_window.h"

#include <QAbstractItemModel>
#include <QFile>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "records/io_error.h"
#include "survey/solution_table.h"
#include "survey/widgets/results_table.h"
#include "widgets/text_codec.h"
#include "widgets/tool_window.h"

namespace quillmar::survey {
namespace {

using Column = ResultsTable::Column;

// A difference that rounds to nothing is shown as "0.0000", never "-0.0000".
QString coordinate(double value) { return QString::number(std::fabs(value) < 0.00005 ? 0.0 : value, 'f', 4); }
QString coordinate(const std::optional<double>& value) { return value ? coordinate(*value) : QString(); }
// Face errors are small parts of the book's angle unit.
QString angle(double value) { return QString::number(value, 'f', 5); }
QString rowNumber(std::uint32_t row) { return QString::number(std::uint64_t{row} + 1); }
QString name(const std::string& bytes) { return cp1251ToQString(bytes); }

QString methodText(Method method) {
  switch (method) {
    case Method::Polar: return QStringLiteral("полярный");
    case Method::Azimuth: return QStringLiteral("по азимуту");
    case Method::Reduced: return QStringLiteral("приведённый");
    case Method::Check: return QStringLiteral("контроль");
  }
  return {};
}

// Widths for the longest text a column usually holds: measuring every cell
// of a million rows would keep the window from opening at once.
const QString kNameSample = QStringLiteral("00000000000000");
const QString kMethodSample = QStringLiteral("приведённый");
const QString kNumberSample = QStringLiteral("-0000000.0000");
const QString kShortSample = QStringLiteral("0000000");
const QString kReasonSample = QStringLiteral("нет координат станции в книге");

}  // namespace

ResultsWindow::ResultsWindow(const RecordList& list, const QAbstractItemModel& rows, Dialogs dialogs, QWidget* parent)
    : QWidget(parent), list_(list), rows_(rows), dialogs_(std::move(dialogs)) {
  QVBoxLayout* layout = edgeToEdgeColumn(*this);
  auto* toolBar = new QToolBar(this);
  toolBar->addAction(QStringLiteral("Экспорт таблицы"), this, &ResultsWindow::exportTable)
      ->setObjectName(QStringLiteral("exportTable"));
  layout->addWidget(toolBar);
  tabs_ = new QTabWidget(this);
  tabs_->setDocumentMode(true);
  layout->addWidget(tabs_, 1);
  QStatusBar* status = addStatusLine(*this, *layout);
  status_ = new QLabel(status);
  status->addWidget(status_, 1);
  createTables();

  connect(&rows_, &QAbstractItemModel::rowsInserted, this, &ResultsWindow::markStale);
  connect(&rows_, &QAbstractItemModel::rowsRemoved, this, &ResultsWindow::markStale);
  connect(&rows_, &QAbstractItemModel::dataChanged, this, &ResultsWindow::markStale);
  connect(&rows_, &QAbstractItemModel::modelReset, this, &ResultsWindow::markStale);
  connect(&rows_, &QAbstractItemModel::layoutChanged, this, &ResultsWindow::markStale);
  refresh();
  resize(760, 520);
}

void ResultsWindow::createTables() {
  const auto& points = results_.points;
  const auto& solutions = results_.solutions;
  const auto& pairs = results_.pairs;
  const auto& failures = results_.failures;
  const auto check = [this](std::size_t k) -> const Solution& { return results_.solutions[checkShots_[k]]; };

  addTable(
      Points,
      new ResultsTable(
          {{QStringLiteral("Точка"), [&points](std::size_t k) { return name(points[k].point); }},
           {QStringLiteral("N"), [&points](std::size_t k) { return coordinate(points[k].north); }, true},
           {QStringLiteral("E"), [&points](std::size_t k) { return coordinate(points[k].east); }, true},
           {QStringLiteral("Elev"), [&points](std::size_t k) { return coordinate(points[k].elevation); }, true},
           {QStringLiteral("Решений"), [&points](std::size_t k) { return QString::number(points[k].solutions); }, true},
           {QStringLiteral("Разброс"),
            [&points](std::size_t k) { return points[k].solutions > 1 ? coordinate(points[k].spread) : QString(); },
            true},
           {QStringLiteral("Строка"), [&points](std::size_t k) { return rowNumber(points[k].lastRow); }, true}},
          [&points] { return points.size(); }, [&points](std::size_t k) { return points[k].lastRow; }, this));

  addTable(
      Solutions,
      new ResultsTable(
          {{QStringLiteral("Точка"), [&solutions](std::size_t k) { return name(solutions[k].point); }},
           {QStringLiteral("Станция"), [&solutions](std::size_t k) { return name(solutions[k].station); }},
           {QStringLiteral("Способ"), [&solutions](std::size_t k) { return methodText(solutions[k].method); }},
           {QStringLiteral("N"), [&solutions](std::size_t k) { return coordinate(solutions[k].north); }, true},
           {QStringLiteral("E"), [&solutions](std::size_t k) { return coordinate(solutions[k].east); }, true},
           {QStringLiteral("Elev"), [&solutions](std::size_t k) { return coordinate(solutions[k].elevation); }, true},
           {QStringLiteral("Строка"), [&solutions](std::size_t k) { return rowNumber(solutions[k].row); }, true}},
          [&solutions] { return solutions.size(); }, [&solutions](std::size_t k) { return solutions[k].row; }, this));

  addTable(CheckShots,
           new ResultsTable(
               {{QStringLiteral("Точка"), [check](std::size_t k) { return name(check(k).point); }},
                {QStringLiteral("Станция"), [check](std::size_t k) { return name(check(k).station); }},
                {QStringLiteral("dN"), [check](std::size_t k) { return coordinate(check(k).dNorth); }, true},
                {QStringLiteral("dE"), [check](std::size_t k) { return coordinate(check(k).dEast); }, true},
                {QStringLiteral("dElev"), [check](std::size_t k) { return coordinate(check(k).dElevation); }, true},
                {QStringLiteral("N"), [check](std::size_t k) { return coordinate(check(k).north); }, true},
                {QStringLiteral("E"), [check](std::size_t k) { return coordinate(check(k).east); }, true},
                {QStringLiteral("Elev"), [check](std::size_t k) { return coordinate(check(k).elevation); }, true},
                {QStringLiteral("Строка"), [check](std::size_t k) { return rowNumber(check(k).row); }, true}},
               [this] { return checkShots_.size(); }, [check](std::size_t k) { return check(k).row; }, this));

  addTable(FacePairs,
           new ResultsTable(
               {{QStringLiteral("Точка"), [&pairs](std::size_t k) { return name(pairs[k].point); }},
                {QStringLiteral("Станция"), [&pairs](std::size_t k) { return name(pairs[k].station); }},
                {QStringLiteral("Коллимация"), [&pairs](std::size_t k) { return angle(pairs[k].collimation); }, true},
                {QStringLiteral("Место нуля"),
                 [&pairs](std::size_t k) { return pairs[k].index ? angle(*pairs[k].index) : QString(); }, true},
                {QStringLiteral("Строка КЛ"), [&pairs](std::size_t k) { return rowNumber(pairs[k].row1); }, true},
                {QStringLiteral("Строка КП"), [&pairs](std::size_t k) { return rowNumber(pairs[k].row2); }, true}},
               [&pairs] { return pairs.size(); }, [&pairs](std::size_t k) { return pairs[k].row1; }, this));

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
  QTableView& failed = *views_[Failures];
  failed.horizontalHeader()->resizeSection(1, failed.fontMetrics().horizontalAdvance(kReasonSample) + 16);
}

void ResultsWindow::addTable(Tab tab, ResultsTable* model) {
  auto* view = new QTableView(tabs_);
  view->setModel(model);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setAlternatingRowColors(true);
  view->setWordWrap(false);
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
  view->verticalHeader()->hide();
  QHeaderView& header = *view->horizontalHeader();
  // Only the records' own text is worth the room left over.
  header.setStretchLastSection(tab == Failures);
  header.setDefaultAlignment(Qt::AlignCenter);
  const QFontMetrics metrics(view->font());
  for (int column = 0; column < model->columnCount(); ++column) {
    const QString title = model->headerData(column, Qt::Horizontal).toString();
    const QString& sample = title == QStringLiteral("Способ") ? kMethodSample
                            : !model->isNumber(column)        ? kNameSample
                            : title.size() <= 5               ? kNumberSample
                                                              : kShortSample;
    header.resizeSection(column, std::max(metrics.horizontalAdvance(sample), metrics.horizontalAdvance(title)) + 16);
  }
  connect(view, &QAbstractItemView::clicked, this, [this, tab](const QModelIndex& index) { tableClicked(tab, index); });
  connect(view, &QAbstractItemView::activated, this,
          [this, tab](const QModelIndex& index) { tableClicked(tab, index); });
  views_[tab] = view;
  models_[tab] = model;
  tabs_->addTab(view, QString());
}

void ResultsWindow::markStale() { pending_.markStale(); }

void ResultsWindow::refresh() {
  results_ = Compute(list_, static_cast<std::size_t>(rows_.rowCount()));
  pending_.refreshed();
  checkShots_.clear();
  for (std::size_t k = 0; k < results_.solutions.size(); ++k)
    if (results_.solutions[k].method == Method::Check) checkShots_.push_back(static_cast<std::uint32_t>(k));
  for (ResultsTable* model : models_) model->reset();
  const QString titles[TabCount] = {QStringLiteral("Точки"), QStringLiteral("Решения"), QStringLiteral("Контроль"),
                                    QStringLiteral("Пары КЛ/КП"), QStringLiteral("Без результата")};
  for (int tab = 0; tab < TabCount; ++tab)
    tabs_->setTabText(tab, QStringLiteral("%1 (%2)").arg(titles[tab]).arg(models_[tab]->rowCount()));
  status_->setText(statusText());
}

const Results& ResultsWindow::results() {
  if (pending_.stale()) refresh();
  return results_;
}

QString ResultsWindow::statusText() const {
  return QStringLiteral("вычислено точек: %1   контрольных измерений: %2   без результата: %3")
      .arg(results_.points.size())
      .arg(checkShots_.size())
      .arg(results_.failures.size());
}

void ResultsWindow::tableClicked(Tab tab, const QModelIndex& index) {
  if (!index.isValid()) return;
  emit rowClicked(static_cast<int>(models_[tab]->recordRow(index.row())));
}

void ResultsWindow::exportTable() {
  if (!dialogs_.askTableName) return;
  const QString path = dialogs_.askTableName(this);
  if (path.isEmpty()) return;
  try {
    SolutionTableToFile(QFile::encodeName(path).toStdString(), results());
  } catch (const IoError& error) {
    if (dialogs_.showError) dialogs_.showError(this, QString::fromStdString(error.what()));
  }
}

}  // namespace quillmar::survey
