#pragma once

#include <algorithm>
#include <iosfwd>
#include <string>

namespace platform::ui {

/// A position in points.
struct Point {
    double x { 0 };
    double y { 0 };

    /// The point moved by (dx, dy).
    constexpr Point offsetBy(double dx, double dy) const { return { x + dx, y + dy }; }

    friend constexpr bool operator==(const Point&, const Point&) = default;
};

/// A width and height in points.
struct Size {
    double width { 0 };
    double height { 0 };

    friend constexpr bool operator==(const Size&, const Size&) = default;
};

/// Distances inward from each edge of a rectangle.
struct EdgeInsets {
    double top { 0 };
    double left { 0 };
    double bottom { 0 };
    double right { 0 };

    friend constexpr bool operator==(const EdgeInsets&, const EdgeInsets&) = default;
};

/// An origin and a size; a negative size is read as extending left or up from the origin.
struct Rect {
    Point origin;
    Size size;

    constexpr Rect() = default;
    constexpr Rect(Point origin, Size size)
        : origin(origin)
        , size(size)
    {
    }
    constexpr Rect(double x, double y, double width, double height)
        : origin { x, y }
        , size { width, height }
    {
    }

    /// The rectangle at the origin with no size.
    static constexpr Rect zero() { return {}; }

    /// The left edge's x.
    constexpr double x() const { return origin.x; }
    /// The top edge's y.
    constexpr double y() const { return origin.y; }
    /// The width.
    constexpr double width() const { return size.width; }
    /// The height.
    constexpr double height() const { return size.height; }
    /// The smallest x covered.
    constexpr double minX() const { return std::min(origin.x, origin.x + size.width); }
    /// The smallest y covered.
    constexpr double minY() const { return std::min(origin.y, origin.y + size.height); }
    /// The largest x covered.
    constexpr double maxX() const { return std::max(origin.x, origin.x + size.width); }
    /// The largest y covered.
    constexpr double maxY() const { return std::max(origin.y, origin.y + size.height); }
    /// The x of the centre.
    constexpr double midX() const { return origin.x + size.width / 2; }
    /// The y of the centre.
    constexpr double midY() const { return origin.y + size.height / 2; }
    /// The centre.
    constexpr Point center() const { return { midX(), midY() }; }

    /// Whether the rectangle covers no area.
    constexpr bool isEmpty() const { return size.width == 0 || size.height == 0; }

    /// Whether the point lies inside; the right and bottom edges are outside.
    constexpr bool contains(Point p) const
    {
        return !isEmpty() && p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
    }

    /// Whether the other rectangle lies wholly inside this one.
    constexpr bool contains(const Rect& other) const
    {
        return !isEmpty() && !other.isEmpty() && other.minX() >= minX() && other.maxX() <= maxX()
            && other.minY() >= minY() && other.maxY() <= maxY();
    }

    /// Whether the two rectangles share some area.
    constexpr bool intersects(const Rect& other) const { return !intersection(other).isEmpty(); }

    /// The area both share, or the zero rectangle when they do not overlap.
    constexpr Rect intersection(const Rect& other) const
    {
        double left = std::max(minX(), other.minX());
        double top = std::max(minY(), other.minY());
        double right = std::min(maxX(), other.maxX());
        double bottom = std::min(maxY(), other.maxY());
        if (isEmpty() || other.isEmpty() || right <= left || bottom <= top)
            return zero();
        return { left, top, right - left, bottom - top };
    }

    /// The rectangle moved by (dx, dy).
    constexpr Rect offsetBy(double dx, double dy) const { return { origin.offsetBy(dx, dy), size }; }

    /// The rectangle shrunk by dx on the left and right and dy at the top and bottom (grown when negative).
    constexpr Rect insetBy(double dx, double dy) const
    {
        return { minX() + dx, minY() + dy, std::max(0.0, maxX() - minX() - 2 * dx),
            std::max(0.0, maxY() - minY() - 2 * dy) };
    }

    /// The rectangle shrunk by the insets on each side.
    constexpr Rect inset(const EdgeInsets& insets) const
    {
        return { minX() + insets.left, minY() + insets.top,
            std::max(0.0, maxX() - minX() - insets.left - insets.right),
            std::max(0.0, maxY() - minY() - insets.top - insets.bottom) };
    }

    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

/// "(x, y)" with numbers in their shortest form.
std::string toString(Point point);
/// "(width x height)".
std::string toString(Size size);
/// "(x, y, width, height)".
std::string toString(const Rect& rect);
/// "{top, left, bottom, right}".
std::string toString(const EdgeInsets& insets);
/// Writes the text forms above, for test failure messages.
std::ostream& operator<<(std::ostream& stream, Point point);
std::ostream& operator<<(std::ostream& stream, Size size);
std::ostream& operator<<(std::ostream& stream, const Rect& rect);
std::ostream& operator<<(std::ostream& stream, const EdgeInsets& insets);
/// A number in the shortest form that reads back the same to six significant digits ("320", "0.5").
std::string formatNumber(double value);

}
