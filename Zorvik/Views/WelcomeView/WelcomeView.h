#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"

#include <memory>
#include <string>

namespace zorvik {

class WelcomeViewController;

/// The welcome screen's view, laid out by the nib "WelcomeView": a greeting and the kGetStartedTitle button,
/// which leads to the folders screen.
class WelcomeView : public XibViewObjcmb {
public:
    /// The button's title.
    static constexpr const char* kGetStartedTitle { "Get started" };

    /// An empty view; make one with create<WelcomeView>().
    WelcomeView();

    std::string className() const override { return "WelcomeView"; }

    /// The screen, held weakly (the screen holds the view), or null.
    std::shared_ptr<WelcomeViewController> controller() const { return m_controller.lock(); }
    /// Sets the screen.
    void setController(const std::weak_ptr<WelcomeViewController>& controller) { m_controller = controller; }

    /// The button's action: the screen's getStarted(), when there is a screen.
    void getStarted();

private:
    std::weak_ptr<WelcomeViewController> m_controller;
};

}
