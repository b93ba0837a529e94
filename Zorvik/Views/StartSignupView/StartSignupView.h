#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"
#include "platform/ui/ScrollView.h"

#include <memory>
#include <string>

namespace platform::ui {
class ImageView;
}

namespace zorvik {

class CarouselPageControl;
class StartSignUpControllerProtocol;

/// The start screen's view, laid out by the nib "StartSignupView": a full-screen background, a paged
/// carousel of introduction pages with its dots, and the buttons kSignUpTitle, kLogInTitle and kTermsTitle,
/// which it reports to its controller.
class StartSignupView : public XibViewObjcmb, public platform::ui::ScrollViewDelegate {
public:
    /// The sign-up button's title.
    static constexpr const char* kSignUpTitle { "Sign up" };
    /// The log-in button's title.
    static constexpr const char* kLogInTitle { "Log in" };
    /// The terms button's title.
    static constexpr const char* kTermsTitle { "Terms and conditions" };

    /// An empty view; make one with make().
    StartSignupView();

    /// A view on its first page, with its background for the screen's height.
    static std::shared_ptr<StartSignupView> make();

    std::string className() const override { return "StartSignupView"; }

    /// Who hears of the buttons, or null.
    std::shared_ptr<StartSignUpControllerProtocol> controller() const { return m_controller.lock(); }
    /// Sets who hears of the buttons, held weakly.
    void setController(const std::weak_ptr<StartSignUpControllerProtocol>& controller)
    {
        m_controller = controller;
    }

    /// "BackgroundOffCentreBubble-667" on a 667-point-high screen, "BackgroundOffCentreBubble" on any other.
    void setupBackground();
    /// Becomes the carousel's delegate and marks page 0.
    void setupScrollViewAndPageControl();

    /// The carousel came to rest: the page whose left edge is nearest the offset (half-way counts as the
    /// later page) becomes the current one.
    void didEndDecelerating(platform::ui::ScrollView& scrollView) override;
    /// The page for the offset `x` of a carousel `width` wide: floor((x - w / 2) / w) + 1.
    static int pageForOffset(double x, double width);

    /// Sign up: tells the controller.
    void userWantsToSignUp();
    /// Log in: tells the controller.
    void userWantsToLogin();
    /// Terms: tells the controller.
    void userWantsToSeeTerms();

    /// The carousel.
    std::shared_ptr<platform::ui::ScrollView> scrollView() const { return m_scrollView.lock(); }
    /// The page dots.
    std::shared_ptr<CarouselPageControl> pageControl() const { return m_pageControl.lock(); }
    /// The background.
    std::shared_ptr<platform::ui::ImageView> bgImageView() const { return m_bgImageView.lock(); }

private:
    std::weak_ptr<platform::ui::ScrollView> m_scrollView;
    std::weak_ptr<CarouselPageControl> m_pageControl;
    std::weak_ptr<platform::ui::ImageView> m_bgImageView;
    std::weak_ptr<StartSignUpControllerProtocol> m_controller;
};

}
