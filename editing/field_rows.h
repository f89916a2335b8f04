// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editable fields of station, target, position and observation records:
// where each value sits in the SDR line, how an edited value is fitted back
// into its fixed width, and how a record line is assembled from the values.
// Every text here is Windows-1251 bytes.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "records/coordinate_order.h"

namespace quillmar {

// TF right-aligns (point names), CF left-aligns (everything else).
enum class Fit { TF, CF };

struct FieldRow {
  std::string_view label;  // shown in the parameter column; the key when reading back
  std::size_t start = 0;   // 1-based position in the record line
  std::size_t width = 0;
  Fit fit = Fit::CF;
  // A measured value (coordinate, height, distance, angle): fitted by
  // FitNumber, never cut. Names and notes are cut to their width.
  bool number = false;
};

// The rows of a record, empty for a combination without editable fields.
// The derivation code matters for type "09" only.
std::span<const FieldRow> FieldRows(std::string_view typeCode, char version, std::string_view derivCode);

// The row's label as the dialogs show it: in a book that gives the easting
// first, the first coordinate is "E" and the second "N".
std::string_view ShownLabel(const FieldRow& row, CoordinateOrder order);

// The field text exactly as the line holds it, cut short where the line ends.
std::string_view ReadValue(std::string_view line, const FieldRow& row);

// The value offered for editing: the field text without the line's own CR LF,
// which a field reaching past the line's text would otherwise carry.
std::string EditableValue(std::string_view line, const FieldRow& row);

// Exactly `width` characters: padded with spaces, or cut to the first `width`.
std::string TF(std::string_view value, std::size_t width);
std::string CF(std::string_view value, std::size_t width);

// The value fitted to the row's width; line-end characters are dropped first
// so that nothing can split the assembled line.
std::string FitValue(const FieldRow& row, std::string_view value);

// first + second + fitted values + CR LF.
std::string MakeLine(std::string_view first, std::string_view second, std::span<const std::string> fitted);

// A whole record line from unfitted values, one per row (missing values are
// empty). The codes are fitted to positions 1-2 and 3-4 so that the fields
// always start at position 5.
std::string AssembleLine(std::string_view typeCode, std::string_view derivCode, std::span<const FieldRow> rows,
                         std::span<const std::string> values);

// "Тип записи 09  F1  v3": the edit dialog's record-type label.
std::string RecordTypeLabel(std::string_view typeCode, std::string_view derivCode, char version);

// A record kind that the add dialog creates.
struct RecordKind {
  std::string_view name;  // the entry of the kind box
  std::string_view typeCode;
  std::string_view derivCode;
};

std::span<const RecordKind> RecordKinds();
// The kind whose name equals `name` exactly, or nullptr.
const RecordKind* FindRecordKind(std::string_view name);

// Labels of the add dialog's two code rows.
inline constexpr std::string_view kTypeCodeLabel = "Type code";
inline constexpr std::string_view kDerivCodeLabel = "Derivation code";

// The labels a kind offers after its two code rows (the same in both layouts).
std::vector<std::string_view> KindFieldLabels(const RecordKind& kind,
                                              CoordinateOrder order = CoordinateOrder::NorthEast);

// Whether `version` names an SDR layout that the rows know.
bool HasLayout(char version);

}  // namespace quillmar
