#include "document/document_survey.h"

#include <QFileInfo>
#include <QItemSelectionModel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStringList>
#include <QTreeView>

#include <algorithm>
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

DocumentSurvey::DocumentSurvey(QWidget& document, QTreeView& list, RecordListModel& model,
                               DialogSeam& seam)
    : document_(document), list_(list), model_(model), seam_(seam) {}

DocumentSurvey::~DocumentSurvey() { delete container_.data(); }

void DocumentSurvey::show() {
  if (window_.isNull()) create();
  container_->show();
  container_->raise();
  container_->activateWindow();
  if (auto* sub = qobject_cast<QMdiSubWindow*>(container_.data())) sub->mdiArea()->setActiveSubWindow(sub);
}

void DocumentSurvey::create() {
  survey::ResultsWindow::Dialogs dialogs;
  dialogs.askTableName = [this](QWidget* parent) {
    SaveRequest request;
    request.title = QStringLiteral("Экспорт таблицы координат");
    request.filter = QStringLiteral("Таблица координат|*.csv");
    request.defaultSuffix = QStringLiteral("csv");
    request.fileName = QFileInfo(document_.windowTitle()).completeBaseName() + QStringLiteral(".csv");
    return seam_.askSaveFileName(parent, request).path;
  };
  dialogs.showError = [this](QWidget* parent, const QString& text) { seam_.showError(parent, text); };
  window_ = new survey::ResultsWindow(model_.list(), model_, std::move(dialogs));
  window_->setAttribute(Qt::WA_DeleteOnClose);
  placeInFrame();
  updateTitle();
  connect(&document_, &QWidget::windowTitleChanged, this, &DocumentSurvey::updateTitle);
  connect(window_, &survey::ResultsWindow::rowClicked, this, &DocumentSurvey::selectRow);
}

void DocumentSurvey::placeInFrame() {
  auto* documentWindow = qobject_cast<QMdiSubWindow*>(document_.parentWidget());
  QMdiArea* area = documentWindow != nullptr ? documentWindow->mdiArea() : nullptr;
  if (area == nullptr) {
    window_->setParent(&document_, Qt::Window);
    container_ = window_.data();
    return;
  }
  // A maximized document would make the results maximized too, over the list.
  const QSize space = area->viewport()->size();
  if (documentWindow->isMaximized()) {
    documentWindow->showNormal();
    documentWindow->setGeometry(QRect(QPoint(0, 0), space));
  }
  // On top of the document window, as the plan is: a click in the list must
  // not hide the results it selects from.
  QMdiSubWindow* sub = area->addSubWindow(window_, Qt::SubWindow | Qt::WindowStaysOnTopHint);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->resize(std::max(space.width() * 3 / 5, sub->minimumSizeHint().width()), space.height());
  sub->move(space.width() - sub->width(), 0);
  container_ = sub;
}

void DocumentSurvey::updateTitle() {
  if (window_.isNull()) return;
  window_->setWindowTitle(QStringLiteral("Вычисления: ") + document_.windowTitle());
}

void DocumentSurvey::selectRow(int row) {
  const QModelIndex index = model_.index(row);
  if (!index.isValid()) return;
  list_.setCurrentIndex(index);
  list_.selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
  // Only up or down: the start of the captions stays in view.
  const int across = list_.horizontalScrollBar()->value();
  list_.scrollTo(index, QAbstractItemView::PositionAtCenter);
  list_.horizontalScrollBar()->setValue(across);
}

InsertRowsCommand* DocumentSurvey::coordinateRows() {
  const std::size_t rows = static_cast<std::size_t>(model_.rowCount());
  const survey::Results results = survey::Compute(model_.list(), rows);
  survey::CoordinateRecords made = survey::MakeCoordinateRecords(model_.list(), rows, results);
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
