#include "platform/ui/Label.h"

#include <algorithm>

namespace platform::ui {

Label::Label(Rect frame)
    : View(frame)
{
    setUserInteractionEnabled(false);
}

void Label::setText(const std::optional<std::string>& text)
{
    m_text = text;
    m_attributedText.reset();
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

std::optional<AttributedString> Label::attributedText() const
{
    if (m_attributedText)
        return m_attributedText;
    if (!m_text)
        return std::nullopt;
    TextAttributes attributes;
    attributes.font = m_font;
    attributes.foregroundColor = m_textColor;
    return AttributedString(*m_text, attributes);
}

void Label::setAttributedText(const std::optional<AttributedString>& text)
{
    m_attributedText = text;
    m_text = text ? std::optional(text->string()) : std::nullopt;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void Label::setFont(const Font& font)
{
    m_font = font;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void Label::setTextColor(const Color& color)
{
    m_textColor = color;
    setNeedsDisplay();
}

void Label::setNumberOfLines(int lines)
{
    m_numberOfLines = std::max(lines, 0);
    invalidateIntrinsicContentSize();
}

Size Label::measure(double maxWidth) const
{
    if (!m_text || m_text->empty())
        return {};
    if (m_numberOfLines == 1 || maxWidth <= 0) {
        if (!m_attributedText)
            return m_font.sizeOfText(*m_text);
        Size size;
        for (const auto& run : m_attributedText->runs()) {
            Font font = run.attributes.font.value_or(m_font);
            Size part = font.sizeOfText(m_attributedText->substring(run.range).string());
            size.width += part.width;
            size.height = std::max(size.height, part.height);
        }
        return size;
    }
    return m_font.sizeOfText(*m_text, maxWidth, m_numberOfLines);
}

Size Label::intrinsicContentSize() const
{
    return measure(m_numberOfLines == 1 ? 0 : bounds().width());
}

Size Label::sizeThatFits(Size size) const
{
    return measure(m_numberOfLines == 1 ? 0 : size.width);
}

std::string Label::describe() const
{
    std::string text = View::describe();
    if (m_text)
        text += " \"" + *m_text + "\"";
    return text;
}

}
