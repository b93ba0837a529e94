#pragma once

#include "platform/ui/Control.h"

#include <optional>

namespace platform::ui {

/// An on/off control. A tap flips it and sends value-changed; setting it in code sends nothing.
class Switch : public Control {
public:
    /// The size every switch has.
    static constexpr Size naturalSize { 51, 31 };

    /// A switch at the frame's origin (the size is always the natural one), off.
    explicit Switch(Rect frame = Rect::zero());

    /// "Switch".
    std::string className() const override { return "Switch"; }

    /// Whether the switch is on.
    bool isOn() const { return m_on; }
    /// Turns the switch on or off without sending value-changed; `animated` only chooses how it looks.
    virtual void setOn(bool on, bool animated = false);

    /// The colour of the track while on (the tint unless set).
    Color onTintColor() const { return m_onTintColor.value_or(tintColor()); }
    /// Sets (or clears) the colour of the track while on.
    void setOnTintColor(const std::optional<Color>& color) { m_onTintColor = color; }

    /// The natural size.
    Size intrinsicContentSize() const override { return naturalSize; }
    /// The natural size.
    Size sizeThatFits(Size) const override { return naturalSize; }

    /// Frame, "on" or "off", and state.
    std::string describe() const override;

protected:
    /// Flips the switch and sends value-changed.
    void didTap() override;

private:
    bool m_on { false };
    std::optional<Color> m_onTintColor;
};

}
