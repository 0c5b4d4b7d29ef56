#include "canvas/stroke_path.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(StrokePath, UnwrapsTheSixteenBitCoordinatesOfAMonitorLeftOrAbove) {
    EXPECT_EQ(UnwrapHistoryCoordinate(0), 0);
    EXPECT_EQ(UnwrapHistoryCoordinate(32767), 32767);
    EXPECT_EQ(UnwrapHistoryCoordinate(65535), -1);
    EXPECT_EQ(UnwrapHistoryCoordinate(65536 - 1920), -1920);
}

TEST(StrokePath, PicksThePointsBetweenThePreviousAndTheCurrentOne) {
    const ViewPoint previous = {10, 10};
    const ViewPoint current = {50, 10};
    const struct {
        const char* name;
        std::vector<ViewPoint> history; // newest first
        std::vector<ViewPoint> merged;  // oldest first
    } rows[] = {
        {"three merged",
         {{50, 10}, {40, 20}, {30, 25}, {20, 20}, {10, 10}, {5, 5}},
         {{20, 20}, {30, 25}, {40, 20}}},
        {"rounded by a pixel", {{51, 9}, {30, 30}, {11, 11}}, {{30, 30}}},
        {"nothing merged", {{50, 10}, {10, 10}, {30, 30}}, {}},
        {"the newest entry is another point", {{60, 10}, {30, 30}, {10, 10}}, {}},
        {"the previous point has left the buffer", {{50, 10}, {30, 30}, {20, 20}}, {}},
        {"the system answered nothing", {}, {}},
    };
    for (const auto& row : rows) {
        ViewPoint merged[MOVE_HISTORY_CAPACITY];
        const int count = PickMergedPoints(row.history.data(), static_cast<int>(row.history.size()),
                                           previous, current, merged);
        ASSERT_EQ(count, static_cast<int>(row.merged.size())) << row.name;
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(merged[i].x, row.merged[i].x) << row.name << " " << i;
            EXPECT_EQ(merged[i].y, row.merged[i].y) << row.name << " " << i;
        }
    }
}

} // namespace
