// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/find_bar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QToolButton>
#include <QTreeView>

#include <array>

#include "document/record_list_model.h"
#include "widgets/text_codec.h"

namespace quillmar {
namespace {

struct KindEntry {
  const char* text;
  RecordKind kind;
};
constexpr std::array<KindEntry, 6> kKinds{{
    {"Все записи", RecordKind::All},
    {"Станции", RecordKind::Station},
    {"Цели", RecordKind::Target},
    {"Координаты", RecordKind::Position},
    {"Наблюдения", RecordKind::Observation},
    {"Примечания", RecordKind::Note},
}};

const QString kNotFound = QStringLiteral("не найдено");
const QString kWrappedToStart = QStringLiteral("продолжено с начала");
const QString kWrappedToEnd = QStringLiteral("продолжено с конца");

QToolButton* toolButton(QWidget* parent, const QString& text, const QString& tip) {
  auto* button = new QToolButton(parent);
  button->setText(text);
  button->setToolTip(tip);
  button->setAutoRaise(true);
  return button;
}

}  // namespace

FindBar::FindBar(QTreeView& view, const RecordListModel& model, QWidget* parent)
    : QWidget(parent), view_(view), model_(model) {
  setObjectName(QStringLiteral("FindBar"));
  createControls();
  hide();
}

void FindBar::createControls() {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 2);
  text_ = new QLineEdit(this);
  text_->setClearButtonEnabled(true);
  text_->setPlaceholderText(QStringLiteral("текст в строках списка"));
  kind_ = new QComboBox(this);
  for (const KindEntry& entry : kKinds) kind_->addItem(QString::fromUtf8(entry.text));
  status_ = new QLabel(this);
  status_->setMinimumWidth(status_->fontMetrics().horizontalAdvance(kWrappedToStart) + 8);
  QPalette palette = status_->palette();
  palette.setColor(QPalette::WindowText, Qt::darkRed);
  status_->setPalette(palette);
  QToolButton* previous = toolButton(this, QStringLiteral("▲"), QStringLiteral("Найти ранее (Shift+F3)"));
  QToolButton* next = toolButton(this, QStringLiteral("▼"), QStringLiteral("Найти далее (F3)"));
  QToolButton* close = toolButton(this, QStringLiteral("✕"), QStringLiteral("Закрыть (Esc)"));

  layout->addWidget(new QLabel(QStringLiteral("Найти:"), this));
  layout->addWidget(text_, 1);
  layout->addWidget(kind_);
  layout->addWidget(previous);
  layout->addWidget(next);
  layout->addWidget(status_);
  layout->addWidget(close);

  connect(text_, &QLineEdit::textEdited, this, [this] { find(0, Direction::Forward); });
  connect(text_, &QLineEdit::returnPressed, this, &FindBar::findNext);
  connect(kind_, &QComboBox::activated, this, [this] { find(0, Direction::Forward); });
  connect(previous, &QToolButton::clicked, this, &FindBar::findPrevious);
  connect(next, &QToolButton::clicked, this, &FindBar::findNext);
  connect(close, &QToolButton::clicked, this, &QWidget::hide);
}

void FindBar::openBar() {
  show();
  text_->setFocus(Qt::ShortcutFocusReason);
  text_->selectAll();
}

void FindBar::findNext() { findAgain(Direction::Forward); }

void FindBar::findPrevious() { findAgain(Direction::Backward); }

// F3 with the bar closed shows it again, so that its answer can be seen.
void FindBar::findAgain(Direction direction) {
  if (isHidden() && text_->text().isEmpty()) return openBar();
  show();
  find(1, direction);
}

QString FindBar::statusText() const { return status_->text(); }

void FindBar::find(int offset, Direction direction) {
  const int rows = model_.rowCount();
  const std::optional<std::string> text = qStringToCp1251(text_->text());
  if (rows == 0 || !text) return showNotFound();
  const int current = currentRow();
  // The first row looked at, before wrapping: may lie one past either end.
  int start = 0;
  if (direction == Direction::Forward)
    start = current < 0 ? 0 : current + offset;
  else
    start = current < 0 ? rows - 1 : current - offset;
  const auto found = findRow(model_.list(), CaptionMatcher(*text), kind(),
                             static_cast<std::size_t>((start % rows + rows) % rows), direction);
  if (!found) return showNotFound();
  const int row = static_cast<int>(*found);
  const bool wrapped = direction == Direction::Forward ? row < start : row > start;
  showRow(view_, row);
  if (!wrapped)
    status_->clear();
  else
    status_->setText(direction == Direction::Forward ? kWrappedToStart : kWrappedToEnd);
}

void showRow(QTreeView& view, int row) {
  const QModelIndex index = view.model()->index(row, 0);
  view.selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  // Only vertically: the start of long captions stays in sight.
  const int left = view.horizontalScrollBar()->value();
  view.scrollTo(index, QAbstractItemView::PositionAtCenter);
  view.horizontalScrollBar()->setValue(left);
}

void FindBar::showNotFound() { status_->setText(kNotFound); }

int FindBar::currentRow() const {
  const QModelIndex current = view_.currentIndex();
  return current.isValid() ? current.row() : -1;
}

RecordKind FindBar::kind() const {
  const int index = kind_->currentIndex();
  return index >= 0 && index < static_cast<int>(kKinds.size()) ? kKinds[static_cast<std::size_t>(index)].kind
                                                               : RecordKind::All;
}

void FindBar::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Escape) return QWidget::keyPressEvent(event);
  hide();
  view_.setFocus(Qt::ShortcutFocusReason);
}

}  // namespace quillmar
