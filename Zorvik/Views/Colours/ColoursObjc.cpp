#include "Zorvik/Views/Colours/ColoursObjc.h"

#include <cctype>
#include <string>

namespace zorvik {

using platform::ui::Color;

namespace {

bool isWhiteSpace(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}

Color ColoursObjc::teal()
{
    return Color::fromBytes(0, 188, 203);
}

Color ColoursObjc::dueYellow()
{
    return colorWithHexString("FFB640");
}

Color ColoursObjc::lateRed()
{
    return Color::fromBytes(206, 50, 65);
}

Color ColoursObjc::colorWithHexString(std::string_view text)
{
    while (!text.empty() && isWhiteSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isWhiteSpace(text.back()))
        text.remove_suffix(1);
    std::string digits;
    for (char c : text)
        digits += char(std::toupper(static_cast<unsigned char>(c)));
    if (digits.size() < 6)
        return Color::gray();
    if (digits.starts_with("0X"))
        digits.erase(0, 2);
    if (digits.size() != 6)
        return Color::gray();
    float components[3];
    for (int i = 0; i < 3; ++i) {
        int high = hexDigit(digits[2 * i]);
        int low = hexDigit(digits[2 * i + 1]);
        if (high < 0 || low < 0)
            return Color::gray();
        components[i] = float(high * 16 + low) / 255.0f;
    }
    return Color(components[0], components[1], components[2], 1);
}

}
