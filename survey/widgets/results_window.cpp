// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/widgets/results_window.h"

#include <QAbstractItemModel>
#include <QFile>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QStringList>
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

// Widths for the longest text a column usually holds: measuring every cell
// of a million rows would keep the window from opening at once.
const QString kNameSample = QStringLiteral("00000000000000");
const QString kMethodSample = QStringLiteral("свободная станция");
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
  toolBar->addAction(QStringLiteral("Уравнять"), this, &ResultsWindow::adjust)->setObjectName(QStringLiteral("adjust"));
  toolBar->addAction(QStringLiteral("Веса…"), this, &ResultsWindow::editWeights)
      ->setObjectName(QStringLiteral("weights"));
  options_ = savedAdjustmentOptions();
  layout->addWidget(toolBar);
  notes_ = new QLabel(this);
  notes_->setObjectName(QStringLiteral("setAside"));
  notes_->setWordWrap(true);
  notes_->setContentsMargins(6, 2, 6, 2);
  notes_->hide();
  layout->addWidget(notes_);
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
  header.setStretchLastSection(tab == Failures || tab == Stations || tab == Control);
  header.setDefaultAlignment(Qt::AlignCenter);
  const QFontMetrics metrics(view->font());
  for (int column = 0; column < model->columnCount(); ++column) {
    const QString title = model->headerData(column, Qt::Horizontal).toString();
    const QString& sample = title == QStringLiteral("Способ")           ? kMethodSample
                            : title == QStringLiteral("Опорные пункты") ? kReasonSample
                            : !model->isNumber(column)                  ? kNameSample
                            : title.size() <= 5                         ? kNumberSample
                                                                        : kShortSample;
    header.resizeSection(column, std::max(metrics.horizontalAdvance(sample), metrics.horizontalAdvance(title)) + 16);
  }
  connect(view, &QAbstractItemView::clicked, this, [this, tab](const QModelIndex& index) { tableClicked(tab, index); });
  connect(view, &QAbstractItemView::doubleClicked, this,
          [this, tab](const QModelIndex& index) { tableClicked(tab, index); });
  connect(view, &QAbstractItemView::activated, this,
          [this, tab](const QModelIndex& index) { tableClicked(tab, index); });
  views_[tab] = view;
  models_[tab] = model;
  // The adjustment's two tables share one page, below its summary.
  if (tab < Adjusted) tabs_->addTab(view, QString());
}

void ResultsWindow::markStale() { pending_.markStale(); }

void ResultsWindow::setControl(const std::string& point, bool control) {
  const auto drop = [&point](std::vector<std::string>& names) { std::erase(names, point); };
  drop(choice_.free);
  drop(choice_.fixed);
  // Kept as the book gives it even against the observations, or placed from them.
  (control ? choice_.fixed : choice_.free).push_back(point);
  markStale();
}

void ResultsWindow::refresh() {
  results_ = Compute(list_, static_cast<std::size_t>(rows_.rowCount()), choice_);
  pending_.refreshed();
  checkShots_.clear();
  for (std::size_t k = 0; k < results_.solutions.size(); ++k)
    if (results_.solutions[k].method == Method::Check) checkShots_.push_back(static_cast<std::uint32_t>(k));
  if (adjusting_) runAdjustment();
  for (ResultsTable* model : models_) model->reset();
  const QString titles[] = {QStringLiteral("Точки"),          QStringLiteral("Решения"),
                            QStringLiteral("Контроль"),       QStringLiteral("Пары КЛ/КП"),
                            QStringLiteral("Станции"),        QStringLiteral("Исходные пункты"),
                            QStringLiteral("Без результата"), QStringLiteral("Уравнивание")};
  for (int tab = 0; tab <= Adjusted; ++tab)
    tabs_->setTabText(tab, QStringLiteral("%1 (%2)").arg(titles[tab]).arg(models_[tab]->rowCount()));
  summary_->setText(adjustmentSummary());
  status_->setText(statusText());
  QStringList notes;
  for (const SetAside& point : results_.setAside) notes << cp1251ToQString(SetAsideText(point, results_.feet));
  notes_->setText(notes.join(QLatin1Char('\n')));
  notes_->setVisible(!notes.isEmpty());
}

const Results& ResultsWindow::results() {
  if (pending_.stale()) refresh();
  return results_;
}

QString ResultsWindow::statusText() const {
  const auto inserted = std::count_if(results_.points.begin(), results_.points.end(),
                                      [](const ComputedPoint& point) { return point.inserted; });
  QString text = QStringLiteral("вычислено точек: %1").arg(results_.points.size());
  if (inserted > 0) text += QStringLiteral(" (вставлено из вычислений: %1)").arg(inserted);
  return text + QStringLiteral("   контрольных измерений: %1   без результата: %2")
                    .arg(checkShots_.size())
                    .arg(results_.failures.size());
}

void ResultsWindow::tableClicked(Tab tab, const QModelIndex& index) {
  if (!index.isValid() || tab == Adjusted) return;  // a point of the adjustment has no one row
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
