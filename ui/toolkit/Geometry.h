// The toolkit's one geometry vocabulary: a point, a size and a rectangle in
// pixels. A rectangle runs from (left, top) to (right, bottom) with the right
// column and the bottom row excluded, as the platform's rectangles do.
// Portable: no platform headers.
#pragma once

namespace shadowpane {

struct Point {
  int x = 0;
  int y = 0;
};

struct Size {
  int width = 0;
  int height = 0;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

constexpr int Width(const Rect& r) { return r.right - r.left; }
constexpr int Height(const Rect& r) { return r.bottom - r.top; }

// The rectangle of the given size with its top-left corner at origin.
constexpr Rect RectAt(Point origin, Size size) {
  return {origin.x, origin.y, origin.x + size.width, origin.y + size.height};
}

// The rectangle with every side moved inward by d (outward for negative d).
constexpr Rect Deflate(const Rect& r, int d) {
  return {r.left + d, r.top + d, r.right - d, r.bottom - d};
}

// Whether (x, y) lies inside: left <= x < right and top <= y < bottom.
constexpr bool Contains(const Rect& r, int x, int y) {
  return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
}

constexpr bool operator==(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }
constexpr bool operator==(const Size& a, const Size& b) {
  return a.width == b.width && a.height == b.height;
}
constexpr bool operator==(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace shadowpane
