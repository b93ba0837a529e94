#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"

#include <cstddef>
#include <functional>

namespace platform::ui {

class Constraint;
class View;

/// How an animated value moves from its start to its end over the duration.
enum class AnimationCurve { EaseInOut, EaseIn, EaseOut, Linear };

/// Options of an animation.
struct AnimationOptions {
    /// The timing curve of the presentation values.
    AnimationCurve curve { AnimationCurve::EaseInOut };
    /// Start a property that is already animating from where it is shown now rather than from its current
    /// (final) value.
    bool beginFromCurrentState { false };
};

/// Animated changes of views, headless: the changes take effect at once, so frames, alpha and the rest read
/// their final values straight away, while the animation keeps each changed property's start value and
/// offers the value shown at the current time of the main queue's clock (presentation values). The
/// completion runs on the main queue once the delay and duration have passed on that clock.
///
/// Animated properties: a view's frame, alpha, background colour and transform scale, for views in a window
/// (the views of every window are compared before and after the changes, so frames moved by a layout pass
/// inside the changes animate too), and a constraint's constant, wherever it is.
///
/// A property that a new animation changes while an earlier animation still runs it interrupts the earlier
/// animation: its other properties stop animating and its completion runs soon after (on the main queue)
/// with finished == false. An animation nested in another's changes keeps its own properties.
class Animation {
public:
    /// Called when an animation ends: finished is false when a later animation interrupted it.
    using Completion = std::function<void(bool finished)>;

    /// Runs `changes` as one animation of `duration` seconds starting after `delay` seconds.
    static void animate(double duration, double delay, AnimationOptions options,
        const std::function<void()>& changes, Completion completion = {});
    /// Runs `changes` as one animation of `duration` seconds, with the default options and no delay.
    static void animate(double duration, const std::function<void()>& changes, Completion completion = {});

    /// The frame shown now: between the start and end values while the frame animates, else the frame.
    static Rect presentationFrame(const View& view);
    /// The alpha shown now.
    static double presentationAlpha(const View& view);
    /// The background colour shown now.
    static Color presentationBackgroundColor(const View& view);
    /// The transform scale shown now.
    static Size presentationTransformScale(const View& view);
    /// The constant in effect now for display purposes.
    static double presentationConstant(const Constraint& constraint);

    /// Whether any property of the view is animating.
    static bool isAnimating(const View& view);
    /// The number of animations that have not completed.
    static std::size_t runningCount();

    /// Records a constraint constant change made inside an animation's changes; Constraint::setConstant
    /// calls it, and outside an animation it does nothing.
    static void constantDidChange(Constraint& constraint, double oldConstant);
};

/// Groups animations so that one block runs when all of them have ended. Animations started between
/// begin() and commit() belong to the transaction (and to every enclosing one); the completion runs on
/// the main queue after the last of them completes, finished or interrupted, or soon after commit() when
/// there is none.
class AnimationTransaction {
public:
    /// Opens a transaction, nested in any that is open.
    static void begin();
    /// Sets the block that runs when the innermost open transaction's animations have ended. Throws
    /// std::logic_error when no transaction is open.
    static void setCompletion(std::function<void()> completion);
    /// Closes the innermost open transaction. Throws std::logic_error when none is open.
    static void commit();
};

}
