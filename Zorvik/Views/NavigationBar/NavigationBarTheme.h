#pragma once

#include "platform/ui/AttributedString.h"
#include "platform/ui/Color.h"

#include <memory>
#include <optional>

namespace platform::ui {
class Image;
}

namespace zorvik {

class NavigationBar;

/// How a NavigationBar looks: its background, title and divider colours and what its two buttons show. An
/// image wins over the text of the same button. A theme is a value of its own, held by std::shared_ptr so
/// that the edit modes and screens can keep and adjust it; it refers to no bar.
class NavigationBarTheme {
public:
    /// A theme of three colours and, each optional, the left button's image and text and the right
    /// button's image and text.
    NavigationBarTheme(const platform::ui::Color& backgroundColour, const platform::ui::Color& titleColour,
        const platform::ui::Color& dividerColor, std::shared_ptr<const platform::ui::Image> backImage,
        std::optional<platform::ui::AttributedString> backText,
        std::shared_ptr<const platform::ui::Image> positiveImage,
        std::optional<platform::ui::AttributedString> positiveText);

    /// Restyles the bar: background, title colour and divider colour first (a text button takes the title's
    /// colour), then a new left button (the image, else the text; with neither the current one stays),
    /// then a new right button (the image, else the text; with neither the current right button is hidden).
    void apply(NavigationBar& bar) const;

    /// The bar's background colour.
    const platform::ui::Color& backgroundColour() const { return m_backgroundColour; }
    /// Sets the bar's background colour.
    void setBackgroundColour(const platform::ui::Color& colour) { m_backgroundColour = colour; }
    /// The title's colour, which is also the colour of the text buttons.
    const platform::ui::Color& titleColour() const { return m_titleColour; }
    /// Sets the title's colour.
    void setTitleColour(const platform::ui::Color& colour) { m_titleColour = colour; }
    /// The divider's colour.
    const platform::ui::Color& dividerColour() const { return m_dividerColour; }
    /// Sets the divider's colour.
    void setDividerColour(const platform::ui::Color& colour) { m_dividerColour = colour; }
    /// The left button's image, or null.
    const std::shared_ptr<const platform::ui::Image>& backImage() const { return m_backImage; }
    /// Sets the left button's image.
    void setBackImage(std::shared_ptr<const platform::ui::Image> image) { m_backImage = std::move(image); }
    /// The left button's text, or nothing.
    const std::optional<platform::ui::AttributedString>& backText() const { return m_backText; }
    /// Sets the left button's text.
    void setBackText(std::optional<platform::ui::AttributedString> text) { m_backText = std::move(text); }
    /// The right button's image, or null.
    const std::shared_ptr<const platform::ui::Image>& positiveImage() const { return m_positiveImage; }
    /// Sets the right button's image.
    void setPositiveImage(std::shared_ptr<const platform::ui::Image> image)
    {
        m_positiveImage = std::move(image);
    }
    /// The right button's text, or nothing.
    const std::optional<platform::ui::AttributedString>& positiveText() const { return m_positiveText; }
    /// Sets the right button's text.
    void setPositiveText(std::optional<platform::ui::AttributedString> text)
    {
        m_positiveText = std::move(text);
    }

private:
    platform::ui::Color m_backgroundColour { platform::ui::Color::clear() };
    platform::ui::Color m_titleColour { platform::ui::Color::clear() };
    platform::ui::Color m_dividerColour { platform::ui::Color::clear() };
    std::shared_ptr<const platform::ui::Image> m_backImage;
    std::optional<platform::ui::AttributedString> m_backText;
    std::shared_ptr<const platform::ui::Image> m_positiveImage;
    std::optional<platform::ui::AttributedString> m_positiveText;
};

}
