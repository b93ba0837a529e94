#pragma once

#include "platform/ui/Geometry.h"

namespace platform::ui {

/// The device screen. There is one, the main screen; its size and scale are a process-wide setting that
/// tests and the app choose before they build views (views read the screen when they are made).
class Screen {
public:
    /// The phone sizes the app runs on, in points.
    static constexpr Size size320x480 { 320, 480 };
    static constexpr Size size320x568 { 320, 568 };
    static constexpr Size size375x667 { 375, 667 };
    static constexpr Size size414x736 { 414, 736 };

    /// The main screen: 320×568 points at scale 2 unless configured otherwise.
    static const Screen& main();
    /// Sets the main screen's size in points and its scale (pixels per point). Throws std::invalid_argument
    /// for a size or scale that is not positive.
    static void configureMain(Size size, double scale = 2);

    /// The screen's rectangle in points, at the origin.
    Rect bounds() const { return { { 0, 0 }, m_size }; }
    /// Pixels per point.
    double scale() const { return m_scale; }
    /// Whether this is a short, 480-point-high screen (where views may load their "4" nib variants).
    bool isShort() const { return m_size.height == 480; }

private:
    Screen(Size size, double scale)
        : m_size(size)
        , m_scale(scale)
    {
    }

    static Screen& mainMutable();

    Size m_size;
    double m_scale { 2 };
};

/// Sets the main screen for the lifetime of the object and puts back the one before: for tests.
class ScopedMainScreen {
public:
    /// Configures the main screen with the size and scale.
    explicit ScopedMainScreen(Size size, double scale = 2);
    ~ScopedMainScreen();

    ScopedMainScreen(const ScopedMainScreen&) = delete;
    ScopedMainScreen& operator=(const ScopedMainScreen&) = delete;

private:
    Size m_previousSize;
    double m_previousScale { 2 };
};

}
