#include "platform/ui/Button.h"

#include "platform/ui/Image.h"

#include <algorithm>

namespace platform::ui {

Button::Button(ButtonType type, Rect frame)
    : Control(frame)
    , m_type(type)
{
}

template<class T> std::optional<T> Button::lookup(const std::map<ControlState, T>& values, ControlState state)
{
    if (auto it = values.find(state); it != values.end())
        return it->second;
    if (auto it = values.find(ControlState::Normal); it != values.end())
        return it->second;
    return std::nullopt;
}

template<class T>
void Button::store(std::map<ControlState, T>& values, const std::optional<T>& value, ControlState state)
{
    if (value)
        values[state] = *value;
    else
        values.erase(state);
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

std::optional<std::string> Button::title(ControlState state) const
{
    return lookup(m_titles, state);
}

void Button::setTitle(const std::optional<std::string>& title, ControlState state)
{
    store(m_titles, title, state);
}

std::optional<std::string> Button::currentTitle() const
{
    if (auto attributed = currentAttributedTitle())
        return attributed->string();
    return title(state());
}

std::optional<AttributedString> Button::attributedTitle(ControlState state) const
{
    return lookup(m_attributedTitles, state);
}

void Button::setAttributedTitle(const std::optional<AttributedString>& title, ControlState state)
{
    store(m_attributedTitles, title, state);
}

std::optional<AttributedString> Button::currentAttributedTitle() const
{
    return attributedTitle(state());
}

Color Button::titleColor(ControlState state) const
{
    if (auto color = lookup(m_titleColors, state))
        return *color;
    if (m_type == ButtonType::Custom)
        return Color::white();
    Color tint = tintColor();
    if ((std::uint32_t(state) & std::uint32_t(ControlState::Disabled)) != 0)
        return Color::fromWhite(0.4, 0.35);
    if ((std::uint32_t(state) & std::uint32_t(ControlState::Highlighted)) != 0)
        return tint.withAlpha(0.2);
    return tint;
}

void Button::setTitleColor(const std::optional<Color>& color, ControlState state)
{
    store(m_titleColors, color, state);
}

std::shared_ptr<const Image> Button::image(ControlState state) const
{
    return lookup(m_images, state).value_or(nullptr);
}

void Button::setImage(const std::shared_ptr<const Image>& image, ControlState state)
{
    store(m_images, image ? std::optional(image) : std::nullopt, state);
}

std::shared_ptr<const Image> Button::backgroundImage(ControlState state) const
{
    return lookup(m_backgroundImages, state).value_or(nullptr);
}

void Button::setBackgroundImage(const std::shared_ptr<const Image>& image, ControlState state)
{
    store(m_backgroundImages, image ? std::optional(image) : std::nullopt, state);
}

void Button::setFont(const Font& font)
{
    m_font = font;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

Size Button::intrinsicContentSize() const
{
    Size size;
    if (auto attributed = currentAttributedTitle()) {
        for (const auto& run : attributed->runs()) {
            Font font = run.attributes.font.value_or(m_font);
            Size part = font.sizeOfText(attributed->substring(run.range).string());
            size.width += part.width;
            size.height = std::max(size.height, part.height);
        }
    } else if (auto plain = title(state())) {
        size = m_font.sizeOfText(*plain);
    }
    if (auto picture = currentImage()) {
        size.width += picture->size().width;
        size.height = std::max(size.height, picture->size().height);
    } else if (auto background = backgroundImage(state())) {
        size.width = std::max(size.width, background->size().width);
        size.height = std::max(size.height, background->size().height);
    }
    if (m_type == ButtonType::System)
        size = { size.width + 12, std::max(size.height + 12, 30.0) };
    return size;
}

Size Button::sizeThatFits(Size) const
{
    return intrinsicContentSize();
}

std::string Button::describe() const
{
    std::string text = View::describe();
    if (auto shown = currentTitle())
        text += " \"" + *shown + "\"";
    if (auto picture = currentImage())
        text += " image "
            + (picture->name().empty() ? toString(picture->size()) : "\"" + picture->name() + "\"");
    return text + stateDescription();
}

}
