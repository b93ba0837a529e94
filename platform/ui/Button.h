#pragma once

#include "platform/ui/AttributedString.h"
#include "platform/ui/Control.h"
#include "platform/ui/Font.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace platform::ui {

class Image;

/// How a button styles itself: custom draws only what it is given (white titles), system takes the tint.
enum class ButtonType { Custom, System };

/// A control that shows a title and/or an image, each settable per state. A state without its own value
/// shows the normal state's.
class Button : public Control {
public:
    /// A button of the type with the frame.
    explicit Button(ButtonType type = ButtonType::Custom, Rect frame = Rect::zero());

    /// "Button".
    std::string className() const override { return "Button"; }

    /// The type given at creation.
    ButtonType buttonType() const { return m_type; }

    /// The title for a state (falling back to the normal state's), or nothing.
    std::optional<std::string> title(ControlState state = ControlState::Normal) const;
    /// Sets (or with nothing clears) the title for a state.
    void setTitle(const std::optional<std::string>& title, ControlState state = ControlState::Normal);
    /// The title shown now: the attributed title's text when there is one, else the plain title.
    std::optional<std::string> currentTitle() const;

    /// The attributed title for a state (falling back to the normal state's), or nothing.
    std::optional<AttributedString> attributedTitle(ControlState state = ControlState::Normal) const;
    /// Sets (or clears) the attributed title for a state; it wins over the plain title.
    void setAttributedTitle(
        const std::optional<AttributedString>& title, ControlState state = ControlState::Normal);
    /// The attributed title shown now, or nothing.
    std::optional<AttributedString> currentAttributedTitle() const;

    /// The title colour for a state: its own, else the normal state's, else the type's default (white for
    /// custom; for system the tint, greyed when disabled).
    Color titleColor(ControlState state = ControlState::Normal) const;
    /// Sets (or clears) the title colour for a state.
    void setTitleColor(const std::optional<Color>& color, ControlState state = ControlState::Normal);
    /// The title colour shown now.
    Color currentTitleColor() const { return titleColor(state()); }

    /// The image for a state (falling back to the normal state's), or null.
    std::shared_ptr<const Image> image(ControlState state = ControlState::Normal) const;
    /// Sets (or with null clears) the image for a state.
    void setImage(const std::shared_ptr<const Image>& image, ControlState state = ControlState::Normal);
    /// The image shown now, or null.
    std::shared_ptr<const Image> currentImage() const { return image(state()); }

    /// The background image for a state (falling back to the normal state's), or null.
    std::shared_ptr<const Image> backgroundImage(ControlState state = ControlState::Normal) const;
    /// Sets (or clears) the background image for a state.
    void setBackgroundImage(
        const std::shared_ptr<const Image>& image, ControlState state = ControlState::Normal);

    /// The title's font (the system font at 15 points unless set).
    const Font& font() const { return m_font; }
    /// Sets the title's font.
    void setFont(const Font& font);

    /// The title's size plus the image's width, with a little padding for system buttons.
    Size intrinsicContentSize() const override;
    /// The intrinsic size, whatever size is offered.
    Size sizeThatFits(Size size) const override;

    /// Frame, current title, image and state.
    std::string describe() const override;

private:
    template<class T>
    static std::optional<T> lookup(const std::map<ControlState, T>& values, ControlState state);
    template<class T>
    void store(std::map<ControlState, T>& values, const std::optional<T>& value, ControlState state);

    ButtonType m_type { ButtonType::Custom };
    std::map<ControlState, std::string> m_titles;
    std::map<ControlState, AttributedString> m_attributedTitles;
    std::map<ControlState, Color> m_titleColors;
    std::map<ControlState, std::shared_ptr<const Image>> m_images;
    std::map<ControlState, std::shared_ptr<const Image>> m_backgroundImages;
    Font m_font { Font::systemFont(15) };
};

}
