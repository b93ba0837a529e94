#pragma once

#include "platform/ui/AttributedString.h"
#include "platform/ui/Font.h"
#include "platform/ui/View.h"

#include <optional>
#include <string>

namespace platform::ui {

/// A view that shows read-only text, plain or attributed. Labels take no touches unless told to.
class Label : public View {
public:
    /// A label with the frame.
    explicit Label(Rect frame = Rect::zero());

    /// "Label".
    std::string className() const override { return "Label"; }

    /// The plain text, or nothing.
    const std::optional<std::string>& text() const { return m_text; }
    /// Sets the plain text (dropping any attributed text).
    virtual void setText(const std::optional<std::string>& text);
    /// The attributed text: the one set, or the plain text carrying the label's font and colour; nothing when
    /// the label has no text.
    std::optional<AttributedString> attributedText() const;
    /// Sets the attributed text; the plain text becomes its string. Attributes it leaves out show in the
    /// label's own font and colour.
    virtual void setAttributedText(const std::optional<AttributedString>& text);

    /// The font (the system font at 17 points unless set).
    const Font& font() const { return m_font; }
    /// Sets the font.
    void setFont(const Font& font);
    /// The text colour (black unless set).
    const Color& textColor() const { return m_textColor; }
    /// Sets the text colour.
    void setTextColor(const Color& color);
    /// How lines sit across the width.
    TextAlignment textAlignment() const { return m_alignment; }
    /// Sets how lines sit across the width.
    void setTextAlignment(TextAlignment alignment) { m_alignment = alignment; }
    /// The most lines shown (1 unless set; 0 for no limit).
    int numberOfLines() const { return m_numberOfLines; }
    /// Sets the most lines shown.
    void setNumberOfLines(int lines);

    /// The text on one line (or wrapped to the current width when more lines are allowed).
    Size intrinsicContentSize() const override;
    /// The text wrapped to the width given (when more than one line is allowed).
    Size sizeThatFits(Size size) const override;

    /// Frame and text.
    std::string describe() const override;

private:
    Size measure(double maxWidth) const;

    std::optional<std::string> m_text;
    std::optional<AttributedString> m_attributedText;
    Font m_font { Font::systemFont(17) };
    Color m_textColor { Color::black() };
    TextAlignment m_alignment { TextAlignment::Natural };
    int m_numberOfLines { 1 };
};

}
