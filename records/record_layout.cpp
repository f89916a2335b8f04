// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/record_layout.h"

namespace quillmar {

static_assert(std::size(kKindLayouts) == static_cast<std::size_t>(KindId::LevelOffset) + 1);
static_assert(
    [] {
      for (std::size_t i = 0; i < std::size(kKindLayouts); ++i) {
        if (kKindLayouts[i].kind != static_cast<KindId>(i)) return false;
      }
      return true;
    }(),
    "kKindLayouts is in KindId order");

const KindLayout* FindKindLayout(std::string_view typeCode, std::string_view derivCode) {
  for (const KindLayout& kind : kKindLayouts) {
    if (kind.typeCode == typeCode && kind.takes(derivCode)) return &kind;
  }
  return nullptr;
}

bool IsSdrRecordCode(std::string_view typeCode, std::string_view derivCode) {
  const auto codeCharacter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); };
  if (derivCode.size() != 2 || !codeCharacter(derivCode[0]) || !codeCharacter(derivCode[1])) return false;
  return FindKindLayout(typeCode, derivCode) != nullptr;
}

FieldPlace PlaceOf(const KindLayout& kind, FieldId id, char version) {
  for (const LayoutField& field : kind.fields) {
    if (field.id == id) return field.in(version);
  }
  return {};
}

bool IsEditableType(std::string_view typeCode) {
  for (const KindLayout& kind : kKindLayouts) {
    if (kind.editable && kind.typeCode == typeCode) return true;
  }
  return false;
}

std::optional<PointPlaces> PointPlacesOf(std::string_view typeCode, char version) {
  const KindLayout* kind = FindKindLayout(typeCode, {});
  if (kind == nullptr) return std::nullopt;
  const PointPlaces places{PlaceOf(*kind, FieldId::PointName, version), PlaceOf(*kind, FieldId::Coordinate1, version),
                           PlaceOf(*kind, FieldId::Coordinate2, version),
                           PlaceOf(*kind, FieldId::Coordinate3, version)};
  if (!places.name.exists() || !places.coordinate1.exists()) return std::nullopt;
  return places;
}

}  // namespace quillmar
