#pragma once

#include "platform/ui/Geometry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform::ui {

class View;

/// Turns touches on the view it is attached to into a gesture and tells its handlers. The view it is attached
/// to owns it; a recogniser can be moved to another view with View::addGestureRecognizer.
class GestureRecognizer : public std::enable_shared_from_this<GestureRecognizer> {
public:
    enum class State { Possible, Began, Changed, Ended, Cancelled };
    using HandlerId = std::uint64_t;
    using Recognized = std::function<void(GestureRecognizer& recognizer)>;

    GestureRecognizer() = default;
    virtual ~GestureRecognizer() = default;
    GestureRecognizer(const GestureRecognizer&) = delete;
    GestureRecognizer& operator=(const GestureRecognizer&) = delete;

    /// The class name shown in the text dump.
    virtual std::string className() const = 0;

    /// The view the recogniser is attached to, or null.
    View* view() const { return m_view; }
    /// Whether the recogniser reacts to touches.
    bool isEnabled() const { return m_enabled; }
    /// Lets the recogniser react to touches or not.
    void setEnabled(bool enabled) { m_enabled = enabled; }
    /// Where the current gesture stands.
    State state() const { return m_state; }

    /// Calls `recognized` at every step of a gesture (begin, change, end). Returns an id for removeHandler.
    HandlerId addHandler(Recognized recognized);
    /// Stops calling a handler.
    void removeHandler(HandlerId id);

protected:
    /// Whether a finger on the attached view reaches the recogniser: enabled, attached, and the view visible
    /// and taking touches along with all its ancestors.
    bool canReceiveTouches() const;
    /// Moves to a state and tells the handlers (unless the state is Possible).
    void moveTo(State state);

private:
    friend class View;

    struct Handler {
        HandlerId id;
        Recognized recognized;
    };

    View* m_view { nullptr };
    bool m_enabled { true };
    State m_state { State::Possible };
    std::vector<Handler> m_handlers;
    HandlerId m_nextId { 1 };
};

/// Recognises a single tap.
class TapGestureRecognizer : public GestureRecognizer {
public:
    /// "TapGestureRecognizer".
    std::string className() const override { return "TapGestureRecognizer"; }

    /// A finger taps the attached view: the handlers hear Ended. Returns false when the touch cannot reach
    /// it.
    bool tap();
};

/// Recognises a finger dragged across the view; the translation is measured from where the drag began.
class PanGestureRecognizer : public GestureRecognizer {
public:
    /// "PanGestureRecognizer".
    std::string className() const override { return "PanGestureRecognizer"; }

    /// How far the finger has moved since the drag began.
    Point translation() const { return m_translation; }
    /// Resets the measured translation (as a handler may do to measure in steps).
    void setTranslation(Point translation) { m_translation = translation; }

    /// A finger drags across the attached view by `translation` in `steps` even moves, then lifts: the
    /// handlers hear Began, Changed once per step, then Ended. Returns false when the touch cannot reach the
    /// recogniser.
    bool pan(Point translation, int steps = 10);

private:
    Point m_translation;
};

}
