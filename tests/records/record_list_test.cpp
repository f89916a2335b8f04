// RecordList's range operations and the rows that an undone append sets aside.

#include <gtest/gtest.h>

#include <string>

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

TEST(RecordList, rangesAreInsertedFromAnotherListAndRemovedWhole) {
  RecordList list;
  appendRows(list, "abcdef");
  RecordList other;
  appendRows(other, "XYZ");
  list.insert(2, other, 1, 2);
  EXPECT_EQ(rows(list), "abYZcdef");
  list.remove(1, 4);
  EXPECT_EQ(rows(list), "adef");
  list.insert(4, other, 0, 1);
  EXPECT_EQ(rows(list), "adefX");
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
