#include <gtest/gtest.h>

#include <climits>

#include "app/ScreenShape.h"

namespace {

struct Shape {
    int width, height;
    ViewportRect expected;
};

}  // namespace

TEST(ScreenShape, TheLargestCentredFourByThreeRectangleWithBarsOnTheLongSides) {
    const Shape shapes[] = {
        {1024, 768, {0, 0, 1024, 768}},  // 4:3 is used whole
        {800, 600, {0, 0, 800, 600}},
        {1920, 1080, {240, 0, 1440, 1080}},  // 16:9: pillar-box
        {2560, 1080, {560, 0, 1440, 1080}},  // 64:27
        {1365, 768, {170, 0, 1024, 768}},    // an odd bar: the spare pixel goes right
        {1280, 1024, {0, 32, 1280, 960}},    // 5:4: letter-box
        {1000, 1001, {0, 125, 1000, 750}},
        {INT_MAX, 3, {(INT_MAX - 4) / 2, 0, 4, 3}},  // no product overflows
        {0, 768, {0, 0, 0, 0}},                      // no window, no picture
        {1024, -1, {0, 0, 0, 0}},
    };
    for (const Shape& shape : shapes) {
        ViewportRect viewport = CentredFourByThree(shape.width, shape.height);
        SCOPED_TRACE(std::to_string(shape.width) + "x" + std::to_string(shape.height));
        EXPECT_EQ(viewport.x, shape.expected.x);
        EXPECT_EQ(viewport.y, shape.expected.y);
        EXPECT_EQ(viewport.width, shape.expected.width);
        EXPECT_EQ(viewport.height, shape.expected.height);
    }
}
