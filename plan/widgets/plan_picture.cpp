// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/widgets/plan_picture.h"

#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <cmath>

#include "plan/widgets/plan_furniture.h"

namespace quillmar::plan {
namespace {

constexpr double kFitMargin = 24;

QSize pictureSize(const ViewTransform& view) {
  return {static_cast<int>(std::ceil(view.width())), static_cast<int>(std::ceil(view.height()))};
}

bool paintPng(QSaveFile& file, const PlanPicture& picture) {
  QImage image(pictureSize(picture.view), QImage::Format_RGB32);
  {
    QPainter painter(&image);
    paintPlan(painter, picture);
    paintNorthArrowAndScaleBar(painter, picture.view);
  }
  return image.save(&file, "PNG");
}

bool paintSvg(QSaveFile& file, const PlanPicture& picture) {
  QSvgGenerator svg;
  svg.setOutputDevice(&file);
  svg.setSize(pictureSize(picture.view));
  svg.setViewBox(QRect(QPoint(0, 0), pictureSize(picture.view)));
  svg.setTitle(QStringLiteral("План"));
  QPainter painter;
  if (!painter.begin(&svg)) return false;
  paintPlan(painter, picture);
  paintNorthArrowAndScaleBar(painter, picture.view);
  return painter.end();
}

}  // namespace

ViewTransform allPointsView(const PlanData& data, const ViewTransform& view) {
  ViewTransform all(view.width(), view.height());
  all.fit(data.extent(), kFitMargin);
  return all;
}

QString writePlanPicture(const QString& path, PictureFormat format, const PlanPicture& picture) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return file.errorString();
  const bool painted = format == PictureFormat::Png ? paintPng(file, picture) : paintSvg(file, picture);
  if (!painted) {
    const QString reason = file.error() != QFileDevice::NoError ? file.errorString() : QString();
    file.cancelWriting();
    return reason.isEmpty() ? QStringLiteral("рисунок не записан") : reason;
  }
  if (!file.commit()) return file.errorString();
  return {};
}

}  // namespace quillmar::plan
