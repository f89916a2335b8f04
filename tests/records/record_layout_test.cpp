// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string_view>

#include "records/record_layout.h"
#include "records/sdr_field.h"

namespace quillmar {
namespace {

constexpr char kLayouts[] = {kVersionSdr3, kVersionSdr2};

// A field at 1-based positions, cut short where the line ends.
TEST(SdrField, isCutShortAtTheLineEndAndEmptyPastIt) {
  const struct {
    std::size_t start, width;
    std::string_view field;
  } cases[] = {
      {1, 2, "ab"}, {2, 5, "bc\r\n"}, {5, 1, "\n"}, {5, 3, "\n"}, {6, 1, ""}, {7, 1, ""}, {0, 3, ""}, {3, 0, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(sdrField("abc\r\n", c.start, c.width), c.field) << c.start << "+" << c.width;
  EXPECT_EQ(sdrCode("abc", 3), 'c');
  EXPECT_EQ(sdrCode("abc", 4), '\0');
  EXPECT_EQ(sdrCode("abc", 0), '\0');
}

// Instruments write each field where the previous one ended, from position 5;
// a typing error in a start or a width breaks the chain.
TEST(RecordLayout, fieldsFollowEachOtherFromPositionFive) {
  for (const KindLayout& kind : kKindLayouts) {
    for (char version : kLayouts) {
      std::size_t next = 5;
      for (const LayoutField& field : kind.fields) {
        const FieldPlace place = field.in(version);
        if (!place.exists()) continue;
        EXPECT_EQ(place.start, next) << kind.typeCode << " v" << version << " field " << int(field.id);
        next = place.end();
      }
    }
  }
}

TEST(RecordLayout, captionExceptionsStartWithTheirFieldAndReadFurther) {
  int exceptions = 0;
  for (const KindLayout& kind : kKindLayouts) {
    for (const LayoutField& field : kind.fields) {
      if (!field.sdr2Caption.exists()) continue;
      ++exceptions;
      EXPECT_EQ(field.sdr2Caption.start, field.sdr2.start) << kind.typeCode;
      EXPECT_GT(field.sdr2Caption.width, field.sdr2.width) << kind.typeCode;
    }
  }
  EXPECT_EQ(exceptions, 2);  // the target height and the atmosphere's temperature
}

TEST(RecordLayout, derivationCodesSplitObservationsOnly) {
  const struct {
    std::string_view type, deriv;
    const KindLayout* kind;
  } cases[] = {
      {"09", "F1", &LayoutOf(KindId::Observation)},
      {"09", "F2", &LayoutOf(KindId::Observation)},
      {"09", "MD", &LayoutOf(KindId::Observation)},
      {"09", "MC", &LayoutOf(KindId::ObservationByAzimuth)},
      {"09", "XX", nullptr},
      {"09", "", nullptr},
      {"02", "TS", &LayoutOf(KindId::Station)},
      {"08", "", &LayoutOf(KindId::Position)},
      {"64", "NM", &LayoutOf(KindId::LevelObservation3)},
      {"12", "NM", nullptr},
      {"2", "NM", nullptr},
  };
  for (const auto& c : cases) EXPECT_EQ(FindKindLayout(c.type, c.deriv), c.kind) << c.type << c.deriv;
}

TEST(RecordLayout, onlyStationsTargetsPositionsAndObservationsAreEditable) {
  for (int type = 0; type < 100; ++type) {
    const char code[] = {char('0' + type / 10), char('0' + type % 10)};
    const std::string_view typeCode(code, 2);
    const bool editable = typeCode == "02" || typeCode == "03" || typeCode == "08" || typeCode == "09";
    EXPECT_EQ(IsEditableType(typeCode), editable) << typeCode;
  }
}

TEST(RecordLayout, pointPlacesOfStationsAndPositions) {
  const struct {
    std::string_view type;
    char version;
    PointPlaces places;
  } cases[] = {
      {"02", kVersionSdr3, {{5, 16}, {21, 16}, {37, 16}, {53, 16}}},
      {"02", kVersionSdr2, {{5, 4}, {9, 10}, {19, 10}, {29, 10}}},
      {"08", kVersionSdr3, {{5, 16}, {21, 16}, {37, 16}, {53, 16}}},
      {"08", kVersionSdr2, {{5, 4}, {9, 10}, {19, 10}, {29, 10}}},
  };
  for (const auto& c : cases) {
    const std::optional<PointPlaces> places = PointPlacesOf(c.type, c.version);
    ASSERT_TRUE(places) << c.type << c.version;
    EXPECT_EQ(places->name, c.places.name);
    EXPECT_EQ(places->coordinate1, c.places.coordinate1);
    EXPECT_EQ(places->coordinate2, c.places.coordinate2);
    EXPECT_EQ(places->coordinate3, c.places.coordinate3);
  }
  for (std::string_view type : {"09", "61", "03"}) EXPECT_FALSE(PointPlacesOf(type, kVersionSdr3)) << type;
  EXPECT_FALSE(PointPlacesOf("02", kVersionNone));
}

}  // namespace
}  // namespace quillmar
