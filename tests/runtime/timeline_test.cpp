#include "runtime/timeline.h"

#include <gtest/gtest.h>

namespace
{
Timeline filled()
{
    Timeline t;
    t.fill();
    return t;
}
} // namespace

TEST(Timeline, empty_table_matches_nothing)
{
    Timeline t;
    EXPECT_EQ(t.lookup(10.0), 0);
}

TEST(Timeline, later_entry_wins_where_ends_touch)
{
    const Timeline t = filled();
    EXPECT_EQ(t.count(), 31);
    EXPECT_EQ(t.lookup(0.0), 9);
    EXPECT_EQ(t.lookup(79.99), 9);
    EXPECT_EQ(t.lookup(80.0), 9); // entry 5 comes after entry 0
    EXPECT_EQ(t.lookup(80.01), 1);
    EXPECT_EQ(t.lookup(227.281), 3);
}

TEST(Timeline, bounds_are_inclusive_and_gaps_give_zero)
{
    const Timeline t = filled();
    EXPECT_EQ(t.lookup(105.134), 5);
    EXPECT_EQ(t.lookup(105.135), 0);
    EXPECT_EQ(t.lookup(246.86), 2);
    EXPECT_EQ(t.lookup(250.282), 2);
    EXPECT_EQ(t.lookup(250.3), 0);
    EXPECT_EQ(t.lookup(291.178), 21);
    EXPECT_EQ(t.lookup(291.2), 0);
    EXPECT_EQ(t.lookup(-0.5), 0);
    EXPECT_EQ(t.lookup(267.76), 0);
}
