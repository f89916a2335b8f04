// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small dialog of a CAD/GIS export: which layers, and the book's
// coordinate system. It takes the last choice and hands back the new one;
// a coordinate system that PROJ does not know keeps it open with the reason.

#include <QDialog>
#include <QString>

#include <optional>

#include "gis/gis_export.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace quillmar::gis {

struct GisExportChoice {
  unsigned layers = kAllLayers;
  QString crs;
};

class GisExportDialog final : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(GisExportDialog)

 public:
  GisExportDialog(QWidget* parent, GisFormat format, const GisExportChoice& initial);
  GisExportChoice choice() const;

  void accept() override;

 private:
  GisFormat format_;
  QCheckBox* points_;
  QCheckBox* stations_;
  QCheckBox* sightLines_;
  QLineEdit* crs_;
  QLabel* problem_;
};

// Shows the dialog modally; nothing when it is cancelled.
std::optional<GisExportChoice> askGisExport(QWidget* parent, GisFormat format, const GisExportChoice& initial);

}  // namespace quillmar::gis
