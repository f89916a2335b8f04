// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/document_survey.h"

#include <QStringList>
#include <QTreeView>

#include <optional>
#include <utility>
#include <vector>

#include "document/record_list_model.h"
#include "document/row_commands.h"
#include "records/caption_state.h"
#include "records/make_st.h"
#include "survey/coordinate_records.h"
#include "survey/survey.h"
#include "survey/widgets/results_window.h"
#include "widgets/dialog_seam.h"
#include "widgets/text_codec.h"

namespace quillmar {

DocumentSideWindow::Placement DocumentSurvey::placement() const { return {QStringLiteral("Вычисления: "), 12}; }

QWidget* DocumentSurvey::make() {
  survey::ResultsWindow::Dialogs dialogs;
  dialogs.askTableName = [this](QWidget* parent) {
    return askFileName(parent, QStringLiteral("Экспорт таблицы координат"), QStringLiteral("Таблица координат|*.csv"),
                       QStringLiteral("csv"));
  };
  dialogs.showError = [this](QWidget* parent, const QString& text) { showError(parent, text); };
  return new survey::ResultsWindow(model_.list(), model_, std::move(dialogs));
}

void DocumentSurvey::opened() {
  connect(window(), &survey::ResultsWindow::rowClicked, this, &DocumentSurvey::selectRow);
  connect(window(), &survey::ResultsWindow::adjusted, this, &DocumentSurvey::adjusted);
}

InsertRowsCommand* DocumentSurvey::coordinateRows() {
  const std::size_t rows = static_cast<std::size_t>(model_.rowCount());
  // Where the results window is open, its results (brought up to the
  // records, with its control points and any adjustment) are the ones shown.
  std::optional<survey::Results> own;
  if (window() == nullptr) own = survey::Compute(model_.list(), rows);
  const survey::Results& results = own ? *own : window()->results();
  const survey::Adjustment* adjustment = window() ? window()->adjustment() : nullptr;
  survey::CoordinateRecords made = survey::MakeCoordinateRecords(model_.list(), rows, results, adjustment);
  std::vector<RecordList::Placed> inserted;
  inserted.reserve(made.records.size());
  CaptionState captions;  // a position's caption takes nothing from the settings
  for (std::size_t k = 0; k < made.records.size(); ++k) {
    const survey::CoordinateRecord& record = made.records[k];
    // Each goes after its own row, below the rows inserted before it.
    const std::size_t row = record.afterRow + 1 + k;
    inserted.push_back({row, model_.listForAppending().makeRow(MakeSt(captions, record.record), record.record)});
  }
  if (!made.notFitted.empty()) {
    QStringList names;
    for (const std::string& name : made.notFitted) names << cp1251ToQString(name);
    seam_.showMessage(&document_, QStringLiteral("Координаты не помещаются в поля записи, точки не вставлены: ") +
                                      names.join(QStringLiteral(", ")));
  } else if (inserted.empty()) {
    seam_.showMessage(&document_, QStringLiteral("Нет вычисленных точек для вставки"));
  }
  if (inserted.empty()) return nullptr;
  return new InsertRowsCommand(QStringLiteral("Вставить координаты"), model_, std::move(inserted));
}

}  // namespace quillmar
