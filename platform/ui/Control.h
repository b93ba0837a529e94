#pragma once

#include "platform/ui/View.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform::ui {

/// What happened to a control; the values combine into masks with `|`.
enum class ControlEvent : std::uint32_t {
    TouchDown = 1u << 0,
    TouchUpInside = 1u << 6,
    ValueChanged = 1u << 12,
    EditingDidBegin = 1u << 16,
    EditingChanged = 1u << 17,
    EditingDidEnd = 1u << 18,
    EditingDidEndOnExit = 1u << 19,
    AllTouchEvents = 0x00000FFFu,
    AllEditingEvents = 0x000F0000u,
    AllEvents = 0xFFFFFFFFu,
};

/// The events of both masks.
constexpr ControlEvent operator|(ControlEvent a, ControlEvent b)
{
    return ControlEvent(std::uint32_t(a) | std::uint32_t(b));
}

/// Whether the masks share an event.
constexpr bool overlaps(ControlEvent a, ControlEvent b)
{
    return (std::uint32_t(a) & std::uint32_t(b)) != 0;
}

/// The state a control shows; Normal is no flag, the others combine with `|`.
enum class ControlState : std::uint32_t { Normal = 0, Highlighted = 1, Disabled = 2, Selected = 4 };

/// The flags of both states.
constexpr ControlState operator|(ControlState a, ControlState b)
{
    return ControlState(std::uint32_t(a) | std::uint32_t(b));
}

/// Where a control places its content across its width.
enum class ContentHorizontalAlignment { Center, Left, Right, Fill };

/// A view that turns touches into events and tells the actions registered for them (target-action).
class Control : public View {
public:
    using Action = std::function<void(Control& sender)>;
    using ActionId = std::uint64_t;

    using View::View;

    /// "Control".
    std::string className() const override { return "Control"; }

    /// Calls `action` whenever one of `events` happens, for as long as the control lives. Several actions may
    /// listen to the same event; they run in the order added. Returns an id for removeAction.
    ActionId addAction(ControlEvent events, Action action);
    /// As addAction, while `target` lives: the control holds the target weakly and drops the action once the
    /// target is gone. removeTarget finds the action by the target.
    ActionId addTarget(const std::weak_ptr<const void>& target, ControlEvent events, Action action);
    /// Removes one action.
    void removeAction(ActionId id);
    /// Stops telling `target` about `events` (all events unless given).
    void removeTarget(const void* target, ControlEvent events = ControlEvent::AllEvents);
    /// How many live actions listen to one of the events.
    std::size_t actionCount(ControlEvent events) const;

    /// Tells every live action registered for one of `events`, in the order added.
    void sendActions(ControlEvent events);

    /// Whether the control reacts to touches.
    bool isEnabled() const { return m_enabled; }
    /// Enables or disables the control.
    virtual void setEnabled(bool enabled);
    /// Whether a finger is down on the control.
    bool isHighlighted() const { return m_highlighted; }
    /// Sets the highlighted state.
    virtual void setHighlighted(bool highlighted);
    /// Whether the control is selected.
    bool isSelected() const { return m_selected; }
    /// Sets the selected state.
    virtual void setSelected(bool selected);
    /// The current state flags.
    ControlState state() const;

    /// Where the content sits across the width.
    ContentHorizontalAlignment contentHorizontalAlignment() const { return m_contentAlignment; }
    /// Sets where the content sits across the width.
    void setContentHorizontalAlignment(ContentHorizontalAlignment alignment)
    {
        m_contentAlignment = alignment;
    }

    /// Whether a finger put on the control's centre reaches it: the control is enabled and visible, and the
    /// hit test of its tree at that point ends at the control (not at a view in front of it or at a control
    /// inside).
    bool canBeTapped();
    /// A finger taps the control: touch-down, highlighted while down, touch-up-inside, then the control's own
    /// reaction. Returns false, doing nothing, when the finger cannot reach the control.
    virtual bool tap();

    /// Frame and state.
    std::string describe() const override;

protected:
    /// The control's own reaction to a tap, after its touch-up-inside actions.
    virtual void didTap() { }
    /// Called after the enabled, highlighted or selected flag changed.
    virtual void stateDidChange() { setNeedsDisplay(); }
    /// " [disabled]", " [selected]" and " [highlighted]" as they apply, for describe().
    std::string stateDescription() const;

private:
    struct Registration {
        ActionId id;
        ControlEvent events;
        Action action;
        bool hasTarget;
        std::weak_ptr<const void> target;
        const void* targetAddress;
    };

    bool isLive(const Registration& registration) const;

    std::vector<Registration> m_registrations;
    ActionId m_nextId { 1 };
    bool m_enabled { true };
    bool m_highlighted { false };
    bool m_selected { false };
    ContentHorizontalAlignment m_contentAlignment { ContentHorizontalAlignment::Center };
};

}
