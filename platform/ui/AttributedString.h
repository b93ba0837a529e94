#pragma once

#include "platform/foundation/Text.h"
#include "platform/ui/Color.h"
#include "platform/ui/Font.h"

#include <optional>
#include <string>
#include <vector>

namespace platform::ui {

/// The styling a stretch of text carries; an absent attribute leaves the label's or button's own look.
struct TextAttributes {
    /// The underline styles the app uses.
    static constexpr int underlineNone = 0;
    static constexpr int underlineSingle = 1;

    std::optional<Font> font;
    std::optional<Color> foregroundColor;
    std::optional<int> underlineStyle;

    /// Whether no attribute is set.
    bool empty() const { return !font && !foregroundColor && !underlineStyle; }
    /// These attributes with every attribute that `other` sets taken from it.
    TextAttributes mergedWith(const TextAttributes& other) const;

    friend bool operator==(const TextAttributes&, const TextAttributes&) = default;
};

/// Text with attributes over ranges of it. Positions and lengths count UTF-16 code units, as the platform's
/// strings do ("😀" is 2 long). A range that runs past the end is a programming error (std::out_of_range).
/// A value type: copying gives an independent, mutable copy.
class AttributedString {
public:
    /// One stretch of text with the same attributes.
    struct Run {
        foundation::Utf16Range range;
        TextAttributes attributes;

        friend bool operator==(const Run&, const Run&) = default;
    };

    /// The empty string.
    AttributedString() = default;
    /// The text with the same attributes throughout.
    explicit AttributedString(std::string text, const TextAttributes& attributes = {});

    /// The plain text (UTF-8).
    const std::string& string() const { return m_text; }
    /// The length in UTF-16 code units.
    std::size_t length() const { return m_length; }

    /// The attributes at a position, and optionally the widest range around it with the same attributes.
    TextAttributes attributesAt(std::size_t index, foundation::Utf16Range* effectiveRange = nullptr) const;
    /// The stretches of equal attributes, in order; together they cover the whole text.
    std::vector<Run> runs() const;

    /// Replaces the attributes over a range.
    void setAttributes(const TextAttributes& attributes, foundation::Utf16Range range);
    /// Sets, over a range, the attributes that `attributes` sets, keeping the others.
    void addAttributes(const TextAttributes& attributes, foundation::Utf16Range range);
    /// Sets the font over a range.
    void setFont(const Font& font, foundation::Utf16Range range);
    /// Sets the foreground colour over a range.
    void setForegroundColor(const Color& color, foundation::Utf16Range range);
    /// Sets the underline style over a range.
    void setUnderlineStyle(int style, foundation::Utf16Range range);
    /// The whole text's range.
    foundation::Utf16Range fullRange() const { return { 0, m_length }; }

    /// Appends another attributed string.
    void append(const AttributedString& other);
    /// The part in a range with its attributes; std::out_of_range also when the range splits a character.
    AttributedString substring(foundation::Utf16Range range) const;

    /// The text with its runs, for dumps and failure messages: "cancel" {OpenSans-Light 16}.
    std::string description() const;

    friend bool operator==(const AttributedString& a, const AttributedString& b)
    {
        return a.m_text == b.m_text && a.runs() == b.runs();
    }

private:
    struct Stretch {
        std::size_t length;
        TextAttributes attributes;
    };

    void checkRange(foundation::Utf16Range range) const;
    std::size_t splitAt(std::size_t index);
    void coalesce();
    template<class Change> void changeRange(foundation::Utf16Range range, Change change);

    std::string m_text;
    std::size_t m_length { 0 };
    std::vector<Stretch> m_stretches;
};

}
