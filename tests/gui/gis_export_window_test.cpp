// SPDX-License-Identifier: GPL-3.0-or-later
// "Экспорт" into the CAD/GIS kinds: the dialog of layers and coordinate
// system, its refusal of a system PROJ does not know, and the system
// remembered per document file in the settings.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTimer>

#include <functional>

#include "app/startup.h"
#include "document/child_form.h"
#include "document/recent_files.h"
#include "gis/widgets/gis_export_dialog.h"
#include "gui_fixture.h"

namespace quillmar::test {
namespace {

constexpr int kGeoPackage = 5;  // after the four record exports
constexpr int kGeoJson = 8;

class GisExportWindowTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    frame_.reset();
    recent_ = std::make_unique<RecentFiles>(std::make_unique<QSettings>(path("quillmar.conf"), QSettings::IniFormat));
    shared_.recentFiles = recent_.get();
    frame_ = createLongLivedWindows(program_, shared_, seam_);
  }

  // Answers the dialog once it is up: `fill` types into it, then ОК.
  void whenDialogShows(std::function<void(gis::GisExportDialog&)> fill) {
    QTimer::singleShot(0, [this, fill] {
      auto* dialog = qobject_cast<gis::GisExportDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) {
        whenDialogShows(fill);
        return;
      }
      fill(*dialog);
    });
  }

  std::unique_ptr<RecentFiles> recent_;
};

TEST_F(GisExportWindowTest, newKindsFollowTheRecordExportsAndTheCrsIsKeptPerFile) {
  writeFile("book.qdl", recordFileBytes(sampleFieldBook()));
  seam_.openNames << path("book.qdl");
  TChildForm* document = frame_->Open();
  seam_.answerSave(path("plan"), kGeoPackage);
  whenDialogShows([](gis::GisExportDialog& dialog) {
    dialog.findChild<QLineEdit*>()->setText(QStringLiteral("EPSG:32637"));
    dialog.accept();
  });
  document->N13Click();
  EXPECT_TRUE(fileExists("plan.gpkg"));
  EXPECT_TRUE(seam_.errors.isEmpty()) << seam_.errors.join('\n').toStdString();
  EXPECT_EQ(seam_.saveRequests[0].filter,
            "Текстовый файл|*.txt|OBS в текстовый файл|*.txt|POS в текстовый файл|*.txt|"
            "В SDR файл|*.sdr|GeoPackage|*.gpkg|ESRI Shapefile|*.shp|DXF (AutoCAD, LibreCAD)|*.dxf|"
            "GeoJSON (WGS 84)|*.geojson|KML (WGS 84)|*.kml|CSV PNEZD|*.csv");
  EXPECT_EQ(recent_->exportCrs(path("book.qdl")), "EPSG:32637");

  // Next time the dialog proposes it; a system PROJ does not know keeps the
  // dialog open with the reason, and nothing is written.
  seam_.answerSave(path("plan"), kGeoJson);
  QString proposed;
  QString reason;
  whenDialogShows([&](gis::GisExportDialog& dialog) {
    auto* crs = dialog.findChild<QLineEdit*>();
    proposed = crs->text();
    crs->setText(QStringLiteral("EPSG:999999"));
    dialog.accept();
    for (QLabel* label : dialog.findChildren<QLabel*>())
      if (label->isVisibleTo(&dialog) && label->text().contains("PROJ: EPSG:999999")) reason = label->text();
    dialog.reject();
  });
  document->N13Click();
  EXPECT_EQ(proposed, "EPSG:32637");
  EXPECT_EQ(reason, "Система координат не известна PROJ: EPSG:999999");
  EXPECT_FALSE(fileExists("plan_points.geojson"));
  EXPECT_EQ(recent_->exportCrs(path("book.qdl")), "EPSG:32637");
}

TEST_F(GisExportWindowTest, bookWithoutCoordinatesSaysSoAndWritesEmptyLayers) {
  TChildForm* document = newDocumentWith({"13NMa note"});
  seam_.answerSave(path("empty.gpkg"), kGeoPackage);
  whenDialogShows([](gis::GisExportDialog& dialog) { dialog.accept(); });
  document->N13Click();
  EXPECT_TRUE(fileExists("empty.gpkg"));
  ASSERT_EQ(seam_.messages.size(), 1);
  EXPECT_EQ(seam_.messages[0], "В книге нет точек с координатами: слои записаны пустыми");
}

// The extension typed names the kind; the record exports keep theirs.
TEST_F(GisExportWindowTest, aNameWithACadOrGisExtensionTakesThatKind) {
  TChildForm* document = newDocumentWith({"13NMa note"});
  seam_.answerSave(path("plan.dxf"), kGeoPackage);
  whenDialogShows([](gis::GisExportDialog& dialog) { dialog.accept(); });
  document->N13Click();
  EXPECT_TRUE(fileExists("plan.dxf"));
  EXPECT_FALSE(fileExists("plan.dxf.gpkg"));
  EXPECT_TRUE(readFile("plan.dxf").contains("SECTION"));
  seam_.answerSave(path("list.dxf"), 1);
  document->N13Click();
  EXPECT_TRUE(fileExists("list.dxf.txt"));
}

}  // namespace
}  // namespace quillmar::test
