#include "editor/effects/ReverbRoomPicture.h"

#include <algorithm>
#include <cmath>

namespace corvex {

namespace {
float unit(float v) { return std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : 0.0f; }
int truncated(double v) { return static_cast<int>(std::trunc(v)); }
} // namespace

ReverbRoom reverbRoomFor(int width, int height, float size, float fill) {
    const double scale = 0.5 + 0.5 * unit(size);
    const int a = truncated(width * scale), b = truncated(height * scale);
    // The back face sits a tenth of the room up and to the right, a tenth smaller.
    const int c = truncated(0.1 * a), d = truncated(0.1 * b);
    const int x0 = (width - a) / 2, y0 = (height - b) / 2;
    const int e = a - c, f = b - d;
    const int backX = truncated(x0 + c + 0.1 * e);
    const int backW = truncated(0.9 * e), backH = truncated(0.9 * f);
    const int frontTop = y0 + d, frontBottom = y0 + d + f;
    ReverbRoom room{};
    room.front = {x0, frontTop, e, f};
    room.back = {backX, y0, backW, backH};
    room.edges[0] = {x0, frontTop, backX, y0};
    room.edges[1] = {x0 + e, frontTop, backX + backW, y0};
    room.edges[2] = {x0, frontBottom, backX, y0 + backH};
    room.edges[3] = {x0 + e, frontBottom, backX + backW, y0 + backH};
    room.fillAlpha = 0.5f * unit(fill);
    return room;
}

} // namespace corvex
