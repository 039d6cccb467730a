// Sorting the live list by a clicked column header: the first click sorts ascending, each
// further click flips the order; a column the list does not have is an error.

#include "scan/ListSorting.h"

#include <gtest/gtest.h>

#include "ui/FrmMain.h"

namespace qm::scan {
namespace {

class ColumnSort : public ::testing::Test {
  protected:
    ui::FrmMain form;
    ui::ListView& list = form.lvwSpywareFound;  // columns "Name", "Details"
    std::vector<std::string> reported;

    void SetUp() override {
        Add("banana", "2 C:\\b");
        Add("Apple", "3 C:\\a");
        Add("cherry", "1 C:\\c");
    }
    void Add(const std::string& name, const std::string& details) {
        list.Add(name, ui::detection::kFile).SetSubItem(1, details);
    }
    bool Click(int column, bool showErrors = false) {
        return EnhListView_SortColumns(list, column, showErrors, [this](const std::string& title) {
            reported.push_back(title);
        });
    }
    std::vector<std::string> Order() const {
        std::vector<std::string> out;
        for (const auto& r : list.rows)
            out.push_back(r.text);
        return out;
    }
};

using Names = std::vector<std::string>;

TEST_F(ColumnSort, TwoClicksSortAscendingThenDescendingIgnoringCase) {
    ASSERT_TRUE(Click(1));
    EXPECT_EQ(Order(), (Names{"Apple", "banana", "cherry"}));
    EXPECT_TRUE(list.sorted);
    ASSERT_TRUE(Click(1));
    EXPECT_EQ(Order(), (Names{"cherry", "banana", "Apple"}));
    ASSERT_TRUE(Click(1));
    EXPECT_EQ(Order(), (Names{"Apple", "banana", "cherry"}));
}

TEST_F(ColumnSort, SecondColumnSortsByTheDetails) {
    ASSERT_TRUE(Click(2));
    EXPECT_EQ(Order(), (Names{"cherry", "banana", "Apple"}));
    ASSERT_TRUE(Click(2));
    EXPECT_EQ(Order(), (Names{"Apple", "banana", "cherry"}));
}

TEST_F(ColumnSort, EqualKeysKeepTheirOrder) {
    list.Clear();
    Add("same", "first");
    Add("SAME", "second");
    Add("Same", "third");
    ASSERT_TRUE(Click(1));
    ASSERT_EQ(list.rows.size(), 3u);
    EXPECT_EQ(list.rows[0].SubItem(1), "first");
    EXPECT_EQ(list.rows[1].SubItem(1), "second");
    EXPECT_EQ(list.rows[2].SubItem(1), "third");
}

TEST_F(ColumnSort, SortingMovesWholeRows) {
    list.rows[1].checked = true;  // "Apple"
    ASSERT_TRUE(Click(1));
    EXPECT_TRUE(list.rows[0].checked);
    EXPECT_EQ(list.rows[0].SubItem(1), "3 C:\\a");
}

TEST_F(ColumnSort, EmptyListIsLeftAloneAndTheFirstRealClickSortsAscending) {
    list.Clear();
    EXPECT_TRUE(Click(1));
    EXPECT_TRUE(Click(1));
    Add("b", "");
    Add("a", "");
    Add("c", "");
    ASSERT_TRUE(Click(1));
    EXPECT_EQ(Order(), (Names{"a", "b", "c"}));
}

TEST_F(ColumnSort, ColumnOutOfRangeFailsAndChangesNothing) {
    const Names before = Order();
    for (int column : {0, 3, -1, 100}) {
        EXPECT_FALSE(Click(column)) << column;
    }
    EXPECT_EQ(Order(), before);
    EXPECT_FALSE(list.sorted);
    EXPECT_TRUE(reported.empty());  // the column click does not ask for errors
}

TEST_F(ColumnSort, ErrorIsShownOnlyWhenAskedFor) {
    EXPECT_FALSE(Click(3, true));
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], "Error in Function : EnhListView_SortColumns");
}

}  // namespace
}  // namespace qm::scan
