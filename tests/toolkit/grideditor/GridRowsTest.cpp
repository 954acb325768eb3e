// Row operations: sorting by text and by number (empty cells and numbers
// that are no numbers last in either order, ignore case, labels moving
// along, rows clipped), deleting and inserting rows (counts cut to the
// grid, counts below 1, shrink and grow), finding a text column by column,
// row labels, and the warning beep's switch.
#include "tests/toolkit/grideditor/GridFilesFixture.h"

#include <cmath>
#include <limits>
#include <random>

namespace gridedtest {
namespace {

class GridRowsTest : public GridFilesTest {
 protected:
  std::vector<std::string> Col(int32_t column, int32_t first = 1, int32_t last = 10) {
    std::vector<std::string> out;
    for (int32_t r = first; r <= last; ++r) out.push_back(Cell(column, r));
    return out;
  }
  void Texts(const std::vector<std::string>& texts) {
    for (size_t i = 0; i < texts.size(); ++i) WGridPutCellString(static_cast<int32_t>(i) + 1, texts[i]);
  }
};

TEST_F(GridRowsTest, TextAndIntegerOrders) {
  const std::vector<std::string> values = {"1", "10", "2", "3"};
  for (int r = 1; r <= 4; ++r) {
    WGridPutCellString(r, values[static_cast<size_t>(r - 1)]);
    WGridPutCellInteger(kFilesGrid, 2, r, std::stoi(values[static_cast<size_t>(r - 1)]));
  }
  WGridSort(kFilesGrid, 2, 0, 1, 4);
  EXPECT_EQ(Col(2, 1, 4), (std::vector<std::string>{"1", "2", "3", "10"}));
  // The text column moved with its rows; sorted by itself it is in
  // character order.
  EXPECT_EQ(Col(1, 1, 4), (std::vector<std::string>{"1", "2", "3", "10"}));
  WGridSort(kFilesGrid, 1, 0, 1, 4);
  EXPECT_EQ(Col(1, 1, 4), (std::vector<std::string>{"1", "10", "2", "3"}));
  EXPECT_EQ(Col(2, 1, 4), (std::vector<std::string>{"1", "10", "2", "3"}));
}

TEST_F(GridRowsTest, EmptyCellsComeLastInEitherOrder) {
  Texts({"b", "", "A", "a", "", "c"});
  for (int r = 1; r <= 6; ++r) WGridClearCell(kFilesGrid, 2, r);
  WGridPutCellInteger(kFilesGrid, 2, 1, 5);
  WGridPutCellInteger(kFilesGrid, 2, 3, -5);
  WGridPutCellInteger(kFilesGrid, 2, 6, 0);
  WGridSort(kFilesGrid, 1, 0, 1, 6);
  EXPECT_EQ(Col(1, 1, 6), (std::vector<std::string>{"A", "a", "b", "c", "", ""}));
  WGridSort(kFilesGrid, 1, 1, 1, 6);
  EXPECT_EQ(Col(1, 1, 6), (std::vector<std::string>{"c", "b", "a", "A", "", ""}));
  WGridSort(kFilesGrid, 1, 2, 1, 6);   // ignore case: A and a together before b
  EXPECT_EQ(Col(1, 3, 6), (std::vector<std::string>{"b", "c", "", ""}));
  WGridSort(kFilesGrid, 2, 0, 1, 6);
  EXPECT_EQ(Col(2, 1, 6), (std::vector<std::string>{"-5", "0", "5", "", "", ""}));
  WGridSort(kFilesGrid, 2, 1, 1, 6);
  EXPECT_EQ(Col(2, 1, 6), (std::vector<std::string>{"5", "0", "-5", "", "", ""}));
}

// Six rows sort by exchanges, seven and more by partitions: the same order
// for distinct keys; numbers that are no numbers go with the empty cells,
// and the labels follow their rows when asked to.
TEST_F(GridRowsTest, ExchangesAndPartitionsAgree) {
  std::mt19937 random(7);
  for (int n : {6, 7, 10}) {
    std::vector<double> v;
    for (int r = 1; r <= 10; ++r) {
      const double x = std::uniform_real_distribution<double>(-100, 100)(random);
      WGridPutCellDouble(kFilesGrid, 4, r, x);
      WGridLabelRow(kFilesGrid, r, "L" + std::to_string(x));
      if (r <= n) v.push_back(x);
    }
    WGridSort(kFilesGrid, 4, 4, 1, n);
    std::sort(v.begin(), v.end());
    for (int r = 1; r <= n; ++r) {
      double got = 0;
      WGridGetCellDouble(kFilesGrid, 4, r, got);
      EXPECT_EQ(got, v[static_cast<size_t>(r - 1)]) << n << " " << r;
      EXPECT_EQ(Label(r), "L" + std::to_string(got));
    }
  }
  WGridPutCellDouble(kFilesGrid, 4, 2, std::numeric_limits<double>::quiet_NaN());
  WGridClearCell(kFilesGrid, 4, 5);
  WGridSort(kFilesGrid, 4, 1);
  double previous = std::numeric_limits<double>::infinity();
  for (int r = 1; r <= 8; ++r) {
    double x = 0;
    WGridGetCellDouble(kFilesGrid, 4, r, x);
    EXPECT_FALSE(std::isnan(x)) << r;
    EXPECT_LE(x, previous) << r;
    previous = x;
  }
  double nine = 0;
  WGridGetCellDouble(kFilesGrid, 4, 9, nine);
  EXPECT_TRUE(std::isnan(nine) || WInfoGridCell(kFilesGrid, 4, 9, 1) == 0);
  EXPECT_EQ(WInfoGridCell(kFilesGrid, 4, 10, 1) == 0 || WInfoGridCell(kFilesGrid, 4, 9, 1) == 0, true);
  // Rows beyond the grid are left out, not read.
  gridtest::Reported().clear();
  WGridSort(kFilesGrid, 4, 0, -5, 500);
  EXPECT_TRUE(gridtest::Reported().empty());
  WGridSort(kFilesGrid, 7);
  EXPECT_EQ(gridtest::Reported(), (std::vector<std::string>{"WGridSort 1017"}));
}

TEST_F(GridRowsTest, DeleteCutsTheCountToTheGrid) {
  for (int r = 1; r <= 10; ++r) Row(r, "t" + std::to_string(r), r, 1.0f, r, r % 2, 3);
  WGridDeleteRows(kFilesGrid, 8, 5);
  EXPECT_EQ(WGridInfoItem(kFilesGrid, 3), 10);
  EXPECT_EQ(Col(1, 6, 10), (std::vector<std::string>{"t6", "t7", "", "", ""}));
  EXPECT_EQ(Option(8), 1);   // emptied option cells show option 1
  EXPECT_EQ(Option(7), 3);
  WGridDeleteRows(kFilesGrid, 2, 2, 1, 1);
  EXPECT_EQ(WGridInfoItem(kFilesGrid, 3), 8);
  EXPECT_EQ(Col(1, 1, 4), (std::vector<std::string>{"t1", "t4", "t5", "t6"}));
  EXPECT_EQ(Col(2, 1, 4), (std::vector<std::string>{"1", "4", "5", "6"}));
  EXPECT_EQ(Check(2), 0);
  // A count below 1 changes nothing.
  WGridDeleteRows(kFilesGrid, 1, 0);
  WGridDeleteRows(kFilesGrid, 1, -3);
  EXPECT_EQ(Col(1, 1, 2), (std::vector<std::string>{"t1", "t4"}));
  WGridDeleteRows(kFilesGrid, 9);
  EXPECT_EQ(gridtest::Reported(), (std::vector<std::string>{"WGridDeleteRows 1017"}));
}

TEST_F(GridRowsTest, InsertPushesRowsDownOrGrows) {
  for (int r = 1; r <= 10; ++r) WGridPutCellString(r, "t" + std::to_string(r));
  WGridInsertRows(kFilesGrid, 1, 2);
  EXPECT_EQ(WGridInfoItem(kFilesGrid, 3), 10);
  EXPECT_EQ(Col(1, 1, 4), (std::vector<std::string>{"", "", "t1", "t2"}));
  EXPECT_EQ(Cell(1, 10), "t8");   // t9 and t10 are lost
  WGridInsertRows(kFilesGrid, 3, 15, 1);
  EXPECT_EQ(WGridInfoItem(kFilesGrid, 3), 20);
  EXPECT_EQ(Cell(1, 18), "t1");
  EXPECT_EQ(Cell(1, 20), "t3");
  WGridInsertRows(kFilesGrid, 1, 0);
  WGridInsertRows(kFilesGrid, 1, -1, 1);
  EXPECT_EQ(WGridInfoItem(kFilesGrid, 3), 20);
  EXPECT_TRUE(gridtest::Reported().empty());
  // More rows than remain: everything from the row on is emptied, and
  // nothing past the last row is touched (or reported), however many rows
  // were asked for.
  WGridPutCellString(19, "t19");
  WGridInsertRows(kFilesGrid, 19, 3);
  EXPECT_EQ(Cell(1, 19), "");
  EXPECT_EQ(Cell(1, 20), "");
  EXPECT_EQ(Cell(1, 18), "t1");
  const std::string above = Cell(1, 17);
  WGridInsertRows(kFilesGrid, 18, std::numeric_limits<int32_t>::max(), 1);
  EXPECT_EQ(WGridInfoItem(kFilesGrid, 3), 20);
  EXPECT_EQ(Cell(1, 18), "");
  EXPECT_EQ(Cell(1, 17), above);
  EXPECT_TRUE(gridtest::Reported().empty());
}

// Rows of equal keys keep the order they had, ascending and descending,
// in short ranges and long ones.
TEST_F(GridRowsTest, EqualKeysKeepTheirOrder) {
  WGridRows(kFilesGrid, 20);
  for (const int32_t n : {6, 20}) {
    for (const int32_t options : {0, 1}) {
      for (int32_t r = 1; r <= n; ++r) {
        WGridPutCellInteger(kFilesGrid, 2, r, (r * 7) % 3);
        WGridPutCellString(r, "r" + std::to_string(r));
      }
      WGridSort(kFilesGrid, 2, options, 1, n);
      std::vector<std::pair<int32_t, int32_t>> expected;
      for (int32_t r = 1; r <= n; ++r) expected.push_back({(r * 7) % 3, r});
      std::stable_sort(expected.begin(), expected.end(), [&](const auto& a, const auto& b) {
        return options == 1 ? a.first > b.first : a.first < b.first;
      });
      for (int32_t r = 1; r <= n; ++r) {
        const auto& [key, from] = expected[static_cast<size_t>(r - 1)];
        EXPECT_EQ(Cell(2, r), std::to_string(key)) << n << " " << options << " " << r;
        EXPECT_EQ(Cell(1, r), "r" + std::to_string(from)) << n << " " << options << " " << r;
      }
    }
  }
}

TEST_F(GridRowsTest, FindGoesDownEachColumnThenToTheNext) {
  Texts({"alpha", "xxABC", "gamma"});
  WGridPutCellInteger(kFilesGrid, 2, 1, 1234);
  WGridPutCellCheckBox(kFilesGrid, 5, 1, 1);
  int32_t found = 7;
  WGridFind(kFilesGrid, "abc", 0, &found);
  EXPECT_EQ(found, 0);
  WGridFind(kFilesGrid, "abc", 2, &found);
  EXPECT_EQ(found, -1);
  EXPECT_EQ(std::make_pair(WGridInfoItem(kFilesGrid, 4), WGridInfoItem(kFilesGrid, 5)), std::make_pair(1, 2));
  // Numbers only with option 4; from the last row of column 1 the search
  // goes on at the first row of column 2.
  WGridSetCell(kFilesGrid, 1, 10);
  WGridFind(kFilesGrid, "23", 1, &found);
  EXPECT_EQ(found, 0);
  WGridFind(kFilesGrid, "23", 1 + 4, &found);
  EXPECT_EQ(found, -1);
  EXPECT_EQ(std::make_pair(WGridInfoItem(kFilesGrid, 4), WGridInfoItem(kFilesGrid, 5)), std::make_pair(2, 1));
  // Check boxes and option lists are never searched; nothing wraps.
  WGridFind(kFilesGrid, "Yes", 4, &found);
  EXPECT_EQ(found, 0);
  WGridFind(kFilesGrid, "alpha", 1, &found);
  EXPECT_EQ(found, 0);
  // An empty text matches the first row searched.
  WGridFind(kFilesGrid, "", 0, &found, 1, 1, 3);
  EXPECT_EQ(found, -1);
  EXPECT_EQ(WGridInfoItem(kFilesGrid, 5), 3);
}

TEST_F(GridRowsTest, RowLabels) {
  WGridLabelRow(kFilesGrid, 3, "third   ");
  EXPECT_EQ(Label(3), "third");
  WGridLabelRow(kFilesGrid, 11, "x");
  WGridLabelRow(kFilesGrid, 0, "x");
  EXPECT_EQ(gridtest::Reported(), (std::vector<std::string>{"WGridLabelRow 1017", "WGridLabelRow 1017"}));
}

TEST_F(GridRowsTest, BeepSwitchLooksAtThreeCharacters) {
  struct Case {
    const char* text;
    int32_t switchAfter;   // -1: unchanged
    int beeps;
  };
  const Case cases[] = {{"on", 1, 0}, {"On", 1, 0}, {"One", 1, 1}, {"off", 0, 0}, {"Offset", 0, 0}, {"", 0, 0},
                        {"ON", 1, 0}, {"", 1, 1}};
  for (const Case& c : cases) {
    const int before = plat::test::beepCount();
    YYBeepOnOff(c.text);
    EXPECT_EQ(WindowManagerState().ErrorBeep, c.switchAfter) << c.text;
    EXPECT_EQ(plat::test::beepCount() - before, c.beeps) << c.text;
  }
}

}  // namespace
}  // namespace gridedtest
