#include "app/ScreenShape.h"

#include <cstdint>

ViewportRect CentredFourByThree(int windowWidth, int windowHeight) {
    if (windowWidth <= 0 || windowHeight <= 0) {
        return ViewportRect{};
    }
    // In 64 bits, so that no window size can overflow the products.
    const int64_t width = windowWidth;
    const int64_t height = windowHeight;
    ViewportRect viewport{0, 0, windowWidth, windowHeight};
    if (width * 3 > height * 4) {
        viewport.width = static_cast<int>(height * 4 / 3);
        viewport.x = static_cast<int>((width - viewport.width) / 2);
    } else if (width * 3 < height * 4) {
        viewport.height = static_cast<int>(width * 3 / 4);
        viewport.y = static_cast<int>((height - viewport.height) / 2);
    }
    return viewport;
}
