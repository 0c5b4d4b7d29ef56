#include "control/stroke_path.h"

#include <gtest/gtest.h>

namespace {

TEST(MoveHistory, UnwrapsTheSixteenBitCoordinatesOfAMonitorLeftOrAbove) {
    EXPECT_EQ(UnwrapHistoryCoordinate(32767), 32767);
    EXPECT_EQ(UnwrapHistoryCoordinate(65535), -1);
    EXPECT_EQ(UnwrapHistoryCoordinate(65536 - 1920), -1920);
}

} // namespace
