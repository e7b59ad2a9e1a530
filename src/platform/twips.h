#pragma once

#include <QRect>

namespace platform {

// Window layouts are given in twips: 1,440 to the logical inch, so 15 to a device-independent
// pixel. Qt's high-DPI scaling takes it from there to the screen's real density.
inline constexpr int TwipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    return twips / TwipsPerPixel;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

} // namespace platform
