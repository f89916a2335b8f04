// SPDX-License-Identifier: GPL-3.0-or-later
// RecordList's range operations and the rows that an undone append sets aside.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/record_list.h"

namespace quillmar {
namespace {

void appendRows(RecordList& list, const std::string& names) {
  for (char name : names) list.append(std::string(1, name), SurveyRecord::fromText(std::string(1, name), '3'));
}

// Each row's caption and the first byte of its Body, which must agree.
std::string rows(const RecordList& list) {
  std::string text;
  for (std::size_t row = 0; row < list.size(); ++row) {
    EXPECT_EQ(list.caption(row), list.record(row).body.view().substr(0, 1));
    text += list.caption(row);
  }
  return text;
}

TEST(RecordList, rowsKeptByReferenceComeBackWithTheirCaptions) {
  RecordList list;
  appendRows(list, "abcdef");
  const std::vector<RecordList::RowRef> kept{list.rowRef(1), list.rowRef(2)};
  list.remove(1, 2);
  EXPECT_EQ(rows(list), "adef");
  list.insert(3, kept);
  EXPECT_EQ(rows(list), "adebcf");

  // A caption made on demand comes back the same after the state moved on.
  CaptionState state;
  const std::string header = "00NMSDR33  V04-04.02    06-FEB-21 08:36 111111";
  list.append(SurveyRecord::fromText(header, '3'), state);
  const std::string caption = list.caption(6);
  const RecordList::RowRef stored = list.rowRef(6);
  list.remove(6);
  list.append(SurveyRecord::fromText(header.substr(0, 40) + "222222", '3'), state);
  list.replace(6, stored);
  EXPECT_EQ(list.caption(6), caption);
}

TEST(RecordList, rowsSetAsideComeBackLastFirstAndGoWhenForgotten) {
  RecordList list;
  appendRows(list, "ab");
  appendRows(list, "cd");  // a first append
  appendRows(list, "e");   // a second one
  list.setAside(1);
  list.setAside(2);
  EXPECT_EQ(rows(list), "ab");
  list.insert(0, "z", SurveyRecord::fromText("z", '3'));
  list.remove(0);
  list.bringBack(2);
  EXPECT_EQ(rows(list), "abcd");
  list.forgetSetAside(1);
  EXPECT_EQ(list.setAsideCount(), 0u);
  list.bringBack(1);
  EXPECT_EQ(rows(list), "abcd");

  list.setAside(2);
  appendRows(list, "f");  // an append after an undo: the rows set aside are gone
  EXPECT_EQ(rows(list), "abf");
  EXPECT_EQ(list.setAsideCount(), 0u);
}

}  // namespace
}  // namespace quillmar
