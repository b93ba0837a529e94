#pragma once

#include "platform/foundation/MainQueue.h"
#include "platform/ui/Color.h"
#include "platform/ui/View.h"

#include <string>

namespace zorvik {

/// The app's busy indicator: a thin circular arc with a small gap, drawn by the view and turned 5 degrees
/// every 10 ms of main-queue time while it is meant to turn. Callers show and hide the view themselves
/// around beginAnimation() and endAnimation().
///
/// The arc only turns while the view is in a window: a spinner that leaves the window stops stepping (it
/// stays meant to turn, and goes on from where it stopped when it is back in a window), and a spinner that
/// is let go stops at once.
class LoadingView : public platform::ui::View {
public:
    /// The degrees the arc turns in one step.
    static constexpr double stepDegrees = 5;
    /// The time between steps, in seconds.
    static constexpr double stepInterval = 0.01;

    /// A still spinner with the frame.
    explicit LoadingView(platform::ui::Rect frame = platform::ui::Rect::zero());
    /// Cancels the pending step.
    ~LoadingView() override;

    std::string className() const override { return "LoadingView"; }

    /// Where the arc begins, in degrees.
    double start() const { return m_start; }
    /// Sets where the arc begins; nothing is redrawn.
    void setStart(double degrees) { m_start = degrees; }
    /// Where the arc ends, in degrees.
    double end() const { return m_end; }
    /// Sets where the arc ends; nothing is redrawn.
    void setEnd(double degrees) { m_end = degrees; }
    /// Whether the spinner is meant to turn.
    bool animate() const { return m_animate; }
    /// Sets whether the spinner is meant to turn; nothing is redrawn and no step is started.
    void setAnimate(bool animate) { m_animate = animate; }

    /// The colour of the arc (black at first).
    const platform::ui::Color& spinnerColour() const { return m_spinnerColour; }
    /// Sets the colour of the arc.
    void setSpinnerColour(const platform::ui::Color& colour) { m_spinnerColour = colour; }

    /// Starts turning with one step at once, unless it is turning already.
    void beginAnimation();
    /// Makes one step and schedules the next, which runs while the spinner is meant to turn.
    void animateOneStep();
    /// Stops turning; the arc stays where the last step left it.
    void endAnimation();

    /// Strokes the arc from start to end, centred, with a radius of half the width less half a point.
    void draw(platform::ui::GraphicsContext& context) override;

    /// Pauses the steps when the view leaves its window and takes them up again when it is back.
    void didMoveToWindow() override;

private:
    void scheduleNextStep();
    void cancelNextStep();

    double m_start { 0 };
    double m_end { 340 };
    bool m_animate { false };
    platform::ui::Color m_spinnerColour { platform::ui::Color::black() };
    bool m_stepPending { false };
    platform::foundation::MainQueue::TaskId m_nextStep { 0 };
};

}
