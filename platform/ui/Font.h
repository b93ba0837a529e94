#pragma once

#include "platform/ui/Geometry.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace platform::ui {

/// How lines of text sit across the width of a label or field.
enum class TextAlignment { Natural, Left, Center, Right, Justified };

/// A typeface at a point size. Text is measured with a fixed table of character widths per weight, so that
/// sizes come out the same on every machine: not the real glyph metrics, but close enough that longer text
/// is wider, capitals wider than small letters, and bold wider than light.
class Font {
public:
    /// The font of that name and size, or nothing when no font has that name. Known names: the system fonts
    /// (see systemFontName), "OpenSans", "OpenSans-Light", "OpenSans-Regular", "OpenSans-SemiBold",
    /// "OpenSans-Bold", "OpenSans-Italic", "HelveticaNeue", "HelveticaNeue-Light", "HelveticaNeue-Medium",
    /// "HelveticaNeue-Bold", "Helvetica", "Helvetica-Bold".
    static std::optional<Font> named(const std::string& name, double pointSize);
    /// The regular system font.
    static Font systemFont(double pointSize);
    /// The bold system font.
    static Font boldSystemFont(double pointSize);

    /// The name of the regular system font.
    static constexpr const char* systemFontName = ".SFUIText";
    /// The name of the bold system font.
    static constexpr const char* boldSystemFontName = ".SFUIText-Bold";

    /// The font's name.
    const std::string& name() const { return m_name; }
    /// The size in points.
    double pointSize() const { return m_pointSize; }
    /// The same face at another size.
    Font withSize(double pointSize) const { return Font(m_name, pointSize, m_widthFactor); }

    /// The height of one line of text.
    double lineHeight() const;
    /// The advance width of a single line of text (no wrapping; line breaks count as nothing).
    double widthOfText(std::string_view text) const;
    /// The size of the text on one line, rounded up to whole points; an empty text is 0 wide and one line
    /// high.
    Size sizeOfText(std::string_view text) const;
    /// The size of the text wrapped at word boundaries to `maxWidth` (0: no limit), with at most `maxLines`
    /// lines (0: no limit); explicit line breaks start new lines. Rounded up to whole points.
    Size sizeOfText(std::string_view text, double maxWidth, int maxLines) const;

    /// "OpenSans-Light 16".
    std::string description() const;

    friend bool operator==(const Font& a, const Font& b)
    {
        return a.m_name == b.m_name && a.m_pointSize == b.m_pointSize;
    }

private:
    Font(std::string name, double pointSize, double widthFactor)
        : m_name(std::move(name))
        , m_pointSize(pointSize)
        , m_widthFactor(widthFactor)
    {
    }

    std::string m_name;
    double m_pointSize { 0 };
    double m_widthFactor { 1 };
};

}
