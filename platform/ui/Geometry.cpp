#include "platform/ui/Geometry.h"

#include <cstdio>
#include <ostream>

namespace platform::ui {

std::string formatNumber(double value)
{
    if (value == 0)
        value = 0; // folds -0 into 0
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

std::string toString(Point point)
{
    return "(" + formatNumber(point.x) + ", " + formatNumber(point.y) + ")";
}

std::string toString(Size size)
{
    return "(" + formatNumber(size.width) + " x " + formatNumber(size.height) + ")";
}

std::string toString(const Rect& rect)
{
    return "(" + formatNumber(rect.x()) + ", " + formatNumber(rect.y()) + ", " + formatNumber(rect.width())
        + ", " + formatNumber(rect.height()) + ")";
}

std::string toString(const EdgeInsets& insets)
{
    return "{" + formatNumber(insets.top) + ", " + formatNumber(insets.left) + ", "
        + formatNumber(insets.bottom) + ", " + formatNumber(insets.right) + "}";
}

std::ostream& operator<<(std::ostream& stream, Point point)
{
    return stream << toString(point);
}

std::ostream& operator<<(std::ostream& stream, Size size)
{
    return stream << toString(size);
}

std::ostream& operator<<(std::ostream& stream, const Rect& rect)
{
    return stream << toString(rect);
}

std::ostream& operator<<(std::ostream& stream, const EdgeInsets& insets)
{
    return stream << toString(insets);
}

}
