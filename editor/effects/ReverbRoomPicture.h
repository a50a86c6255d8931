// The reverb's room drawn as a box in perspective: a front face, a smaller back face up and to the right, and
// the four edges joining their corners. The room grows from half the picture to all of it with the size, and
// its walls grow more opaque with the second value.
#pragma once

namespace corvex {

struct RoomRect {
    int x, y, w, h;
    bool operator==(const RoomRect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};

struct RoomEdge {
    int x1, y1, x2, y2;
};

struct ReverbRoom {
    RoomRect front, back;
    RoomEdge edges[4];  // top left, top right, bottom left, bottom right
    float fillAlpha;
};

// In a picture of width x height; both values are taken within 0..1.
ReverbRoom reverbRoomFor(int width, int height, float size, float fill);

} // namespace corvex
