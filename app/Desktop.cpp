#include "app/Desktop.h"

#include <SDL.h>

#include <cstdint>
#include <string>

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

bool RunsUnseen(const char* driver, const char* requested) {
    if (driver == nullptr ||
        (SDL_strcasecmp(driver, "offscreen") != 0 && SDL_strcasecmp(driver, "dummy") != 0)) {
        return false;
    }
    std::string names = requested != nullptr ? requested : "";
    size_t start = 0;
    while (start <= names.size()) {
        size_t end = names.find(',', start);
        if (end == std::string::npos) {
            end = names.size();
        }
        if (SDL_strcasecmp(names.substr(start, end - start).c_str(), driver) == 0) {
            return false;
        }
        start = end + 1;
    }
    return true;
}
