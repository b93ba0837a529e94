#include "platform/ui/Color.h"

#include "platform/ui/Geometry.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <ostream>

namespace platform::ui {

namespace {

int toByte(double component)
{
    return int(std::lround(component * 255));
}

std::optional<int> hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = char(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return std::nullopt;
}

}

std::optional<Color> Color::fromHexString(const std::string& text)
{
    std::string digits = text;
    if (!digits.empty() && digits.front() == '#')
        digits.erase(0, 1);
    if (digits.size() == 3)
        digits = { digits[0], digits[0], digits[1], digits[1], digits[2], digits[2] };
    if (digits.size() != 6 && digits.size() != 8)
        return std::nullopt;
    int bytes[4] = { 0, 0, 0, 255 };
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        auto high = hexDigit(digits[i]);
        auto low = hexDigit(digits[i + 1]);
        if (!high || !low)
            return std::nullopt;
        bytes[i / 2] = *high * 16 + *low;
    }
    return fromBytes(bytes[0], bytes[1], bytes[2], bytes[3] / 255.0);
}

std::uint32_t Color::rgbHex() const
{
    return std::uint32_t(toByte(m_red) << 16 | toByte(m_green) << 8 | toByte(m_blue));
}

std::string Color::description() const
{
    if (toByte(m_alpha) == 0)
        return "clear";
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%06X", rgbHex());
    std::string text = hex;
    if (toByte(m_alpha) != 255)
        text += " alpha " + formatNumber(std::round(m_alpha * 1000) / 1000);
    return text;
}

bool operator==(const Color& a, const Color& b)
{
    return toByte(a.m_red) == toByte(b.m_red) && toByte(a.m_green) == toByte(b.m_green)
        && toByte(a.m_blue) == toByte(b.m_blue) && toByte(a.m_alpha) == toByte(b.m_alpha);
}

std::ostream& operator<<(std::ostream& stream, const Color& color)
{
    return stream << color.description();
}

}
