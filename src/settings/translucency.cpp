#include "settings/translucency.h"

std::uint8_t translucency_alpha(int percent) {
    // Hundredths of the alpha, exact in integers: 255 - 2.55 * p = (25500 - 255 * p) / 100.
    const int hundredths = 25500 - 255 * percent;
    int whole = hundredths / 100;
    const int rest = hundredths % 100;
    if (rest > 50 || (rest == 50 && whole % 2 == 1)) ++whole;
    if (whole < 0) whole = 0;
    if (whole > 255) whole = 255;
    return static_cast<std::uint8_t>(whole);
}
