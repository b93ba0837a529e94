#include "platform/ui/Font.h"

#include "platform/foundation/Text.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace platform::ui {

namespace {

struct KnownFont {
    const char* name;
    double widthFactor;
};

constexpr KnownFont knownFonts[] = {
    { ".SFUIText", 1.0 },
    { ".SFUIText-Bold", 1.07 },
    { "OpenSans", 1.02 },
    { "OpenSans-Regular", 1.02 },
    { "OpenSans-Light", 0.98 },
    { "OpenSans-SemiBold", 1.06 },
    { "OpenSans-Bold", 1.09 },
    { "OpenSans-Italic", 1.0 },
    { "HelveticaNeue", 1.0 },
    { "HelveticaNeue-Light", 0.97 },
    { "HelveticaNeue-Medium", 1.03 },
    { "HelveticaNeue-Bold", 1.07 },
    { "Helvetica", 1.0 },
    { "Helvetica-Bold", 1.07 },
};

constexpr double lineHeightFactor = 1.25;

// The advance of one code point in ems at regular weight.
double characterWidth(char32_t c)
{
    if (c == ' ')
        return 0.26;
    if (c >= '0' && c <= '9')
        return 0.57;
    if (c < 0x80) {
        static constexpr std::string_view narrow = "ijl.,:;'!|`";
        static constexpr std::string_view slim = "frt()[]{}-\"/I";
        static constexpr std::string_view wide = "mw";
        static constexpr std::string_view widest = "MW@%";
        char ascii = char(c);
        if (narrow.find(ascii) != std::string_view::npos)
            return 0.25;
        if (slim.find(ascii) != std::string_view::npos)
            return 0.34;
        if (wide.find(ascii) != std::string_view::npos)
            return 0.8;
        if (widest.find(ascii) != std::string_view::npos)
            return 0.88;
        if (ascii >= 'A' && ascii <= 'Z')
            return 0.64;
        if (ascii >= 'a' && ascii <= 'z')
            return 0.52;
        return 0.5;
    }
    if (c < 0x2E80)
        return 0.56;
    return 1.0;
}

// Decodes UTF-8 leniently: a broken sequence counts as one character.
std::vector<char32_t> codePoints(std::string_view text)
{
    std::vector<char32_t> result;
    for (std::size_t i = 0; i < text.size();) {
        auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = foundation::utf8CharacterLength(text, i);
        char32_t value = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (std::size_t k = 1; k < length; ++k)
            value = value << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        result.push_back(value);
        i += length;
    }
    return result;
}

}

std::optional<Font> Font::named(const std::string& name, double pointSize)
{
    for (const auto& known : knownFonts) {
        if (name == known.name)
            return Font(name, pointSize, known.widthFactor);
    }
    return std::nullopt;
}

Font Font::systemFont(double pointSize)
{
    return *named(systemFontName, pointSize);
}

Font Font::boldSystemFont(double pointSize)
{
    return *named(boldSystemFontName, pointSize);
}

double Font::lineHeight() const
{
    return m_pointSize * lineHeightFactor;
}

double Font::widthOfText(std::string_view text) const
{
    double ems = 0;
    for (char32_t c : codePoints(text)) {
        if (c != '\n' && c != '\r')
            ems += characterWidth(c);
    }
    return ems * m_pointSize * m_widthFactor;
}

Size Font::sizeOfText(std::string_view text) const
{
    return { std::ceil(widthOfText(text)), std::ceil(lineHeight()) };
}

Size Font::sizeOfText(std::string_view text, double maxWidth, int maxLines) const
{
    std::vector<double> lineWidths;
    double current = 0;
    bool lineHasText = false;
    double spaceWidth = characterWidth(' ') * m_pointSize * m_widthFactor;
    auto endLine = [&] {
        lineWidths.push_back(current);
        current = 0;
        lineHasText = false;
    };
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t newline = text.find('\n', start);
        std::string_view paragraph
            = text.substr(start, newline == std::string_view::npos ? newline : newline - start);
        std::size_t wordStart = 0;
        while (wordStart <= paragraph.size()) {
            std::size_t space = paragraph.find(' ', wordStart);
            std::string_view word
                = paragraph.substr(wordStart, space == std::string_view::npos ? space : space - wordStart);
            double wordWidth = widthOfText(word);
            double needed = lineHasText ? current + spaceWidth + wordWidth : wordWidth;
            if (maxWidth > 0 && lineHasText && needed > maxWidth) {
                endLine();
                needed = wordWidth;
            }
            if (maxWidth > 0 && needed > maxWidth) {
                // A word longer than a line is broken between characters.
                for (char32_t c : codePoints(word)) {
                    double w = characterWidth(c) * m_pointSize * m_widthFactor;
                    if (lineHasText && current + w > maxWidth)
                        endLine();
                    current += w;
                    lineHasText = true;
                }
            } else {
                current = needed;
                lineHasText = true;
            }
            if (space == std::string_view::npos)
                break;
            wordStart = space + 1;
        }
        endLine();
        if (newline == std::string_view::npos)
            break;
        start = newline + 1;
    }
    std::size_t lines = lineWidths.size();
    if (maxLines > 0)
        lines = std::min(lines, std::size_t(maxLines));
    double width = 0;
    for (std::size_t i = 0; i < lines; ++i)
        width = std::max(width, lineWidths[i]);
    if (maxWidth > 0)
        width = std::min(width, maxWidth);
    return { std::ceil(width), std::ceil(double(lines) * lineHeight()) };
}

std::string Font::description() const
{
    return m_name + " " + formatNumber(m_pointSize);
}

}
