// SPDX-License-Identifier: GPL-3.0-or-later
#include "gis/widgets/gis_export_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/text_codec.h"

namespace quillmar::gis {

GisExportDialog::GisExportDialog(QWidget* parent, GisFormat format, const GisExportChoice& initial)
    : QDialog(parent), format_(format) {
  setWindowTitle(QStringLiteral("Экспорт в САПР и ГИС"));
  auto* layout = new QVBoxLayout(this);
  auto* layers = new QFormLayout;
  points_ = new QCheckBox(QStringLiteral("Точки (points)"), this);
  stations_ = new QCheckBox(QStringLiteral("Станции (stations)"), this);
  sightLines_ = new QCheckBox(QStringLiteral("Линии визирования (sight_lines)"), this);
  points_->setChecked(initial.layers & kPointsLayer);
  stations_->setChecked(initial.layers & kStationsLayer);
  sightLines_->setChecked(initial.layers & kSightLinesLayer);
  layers->addRow(QStringLiteral("Слои:"), points_);
  layers->addRow(QString(), stations_);
  layers->addRow(QString(), sightLines_);
  crs_ = new QLineEdit(initial.crs, this);
  crs_->setPlaceholderText(QStringLiteral("EPSG:28407 или +proj=tmerc ..."));
  crs_->setMinimumWidth(360);
  layers->addRow(QStringLiteral("Система координат:"), crs_);
  layout->addLayout(layers);
  const bool geographic = InfoOf(format).geographic;
  auto* hint = new QLabel(geographic ? QStringLiteral("Код EPSG или строка PROJ; обязательна: файл хранит долготу и "
                                                      "широту WGS 84.")
                                     : QStringLiteral("Код EPSG или строка PROJ; пусто: местная система координат."),
                          this);
  hint->setWordWrap(true);
  layout->addWidget(hint);
  problem_ = new QLabel(this);
  problem_->setWordWrap(true);
  problem_->setStyleSheet(QStringLiteral("color: #b00000"));
  problem_->hide();
  layout->addWidget(problem_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("ОК"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

GisExportChoice GisExportDialog::choice() const {
  GisExportChoice choice;
  choice.layers = (points_->isChecked() ? kPointsLayer : 0u) | (stations_->isChecked() ? kStationsLayer : 0u) |
                  (sightLines_->isChecked() ? kSightLinesLayer : 0u);
  choice.crs = crs_->text().trimmed();
  return choice;
}

void GisExportDialog::accept() {
  const GisExportChoice chosen = choice();
  try {
    if (chosen.layers == 0) throw GisError(GisProblem::NoLayers, {});
    CheckCrs(format_, chosen.crs.toStdString());
  } catch (const GisError& error) {
    problem_->setText(cp1251ToQString(GisErrorText(error)));
    problem_->show();
    return;
  }
  QDialog::accept();
}

std::optional<GisExportChoice> askGisExport(QWidget* parent, GisFormat format, const GisExportChoice& initial) {
  GisExportDialog dialog(parent, format, initial);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.choice();
}

}  // namespace quillmar::gis
