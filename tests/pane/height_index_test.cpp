#include "layout/HeightIndex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// The index checked against its heights added up one by one: every top, the total, and the entry
// found at each top, just above it and halfway down each entry.
void expectConsistent(const HeightIndex& index, const std::vector<float>& heights,
                      const std::string& step) {
    SCOPED_TRACE(step);
    ASSERT_EQ(index.size(), heights.size());
    double top = 0;
    size_t last = 0; // the last entry with a height, where a y beyond them all lands
    for (size_t i = 0; i < heights.size(); ++i) {
        EXPECT_EQ(index.height(i), heights[i]) << i;
        EXPECT_DOUBLE_EQ(index.top(i), top) << i;
        if (heights[i] > 0) {
            EXPECT_EQ(index.at(top), i) << "at the top of " << i;
            EXPECT_EQ(index.at(top + heights[i] / 2), i) << "inside " << i;
            if (top > 0) {
                EXPECT_EQ(index.at(top - 0.25), last) << "just above " << i;
            }
            last = i;
        }
        top += heights[i];
    }
    EXPECT_DOUBLE_EQ(index.total(), top);
    if (!heights.empty()) {
        EXPECT_EQ(index.at(-5), 0u);
        EXPECT_EQ(index.at(top + 100), heights.size() - 1);
    }
}
} // namespace

// Each row edits the index and the plain list of heights alike; after each the sums must agree.
TEST(HeightIndex, SumsFollowEditsAnywhere) {
    struct Row {
        const char* name;
        size_t at;
        size_t removed;
        size_t added;
        std::vector<std::pair<size_t, float>> heights; // set afterwards
    };
    const Row rows[] = {
        {"set one in the middle", 0, 0, 0, {{6, 33}}},
        {"insert in the middle", 5, 0, 3, {{5, 7}, {6, 8}, {7, 9}}},
        {"insert at the start", 0, 0, 2, {{0, 1}, {1, 2}}},
        {"insert at the end", 17, 0, 1, {{17, 4}}},
        {"erase in the middle", 4, 5, 0, {}},
        {"erase at the start", 0, 1, 0, {}},
        {"erase at the end", 11, 1, 0, {}},
        {"replace a range by a longer one", 2, 2, 5, {{2, 11}, {4, 12}, {6, 13}}},
        {"replace a range by a shorter one", 1, 6, 2, {{1, 3}, {2, 0}}},
        {"heights of zero between others", 0, 0, 0, {{0, 0}, {3, 0}, {4, 0}}},
        {"a height grows and shrinks", 0, 0, 0, {{2, 500}, {2, 1.5f}}},
        {"erase everything", 0, 10, 0, {}},
    };
    std::vector<float> heights = {12, 18, 5.5f, 30, 12, 12, 40, 9, 16, 22, 3, 14};
    HeightIndex index;
    index.assign(heights, {});
    expectConsistent(index, heights, "assigned");
    for (const Row& row : rows) {
        index.replace(row.at, row.removed, row.added);
        heights.erase(heights.begin() + ptrdiff_t(row.at),
                      heights.begin() + ptrdiff_t(row.at + row.removed));
        heights.insert(heights.begin() + ptrdiff_t(row.at), row.added, 0.f);
        for (const auto& [entry, height] : row.heights) {
            index.setHeight(entry, height);
            heights[entry] = height;
        }
        expectConsistent(index, heights, row.name);
        if (testing::Test::HasFatalFailure())
            return;
    }
    EXPECT_TRUE(index.empty());
    EXPECT_EQ(index.at(50), 0u);
}
