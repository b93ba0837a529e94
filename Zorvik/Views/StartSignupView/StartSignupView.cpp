#include "Zorvik/Views/StartSignupView/StartSignupView.h"

#include "Zorvik/Views/StartSignupView/CarouselPageControl.h"
#include "Zorvik/Views/StartSignupView/StartSignUpViewProtocol.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"

#include <cmath>

namespace zorvik {

StartSignupView::StartSignupView()
{
    declareOutlet("scrollView", m_scrollView);
    declareOutlet("pageControl", m_pageControl);
    declareOutlet("bgImageView", m_bgImageView);
    declareAction("userWantsToSignUp", [this](platform::ui::View&) { userWantsToSignUp(); });
    declareAction("userWantsToLogin", [this](platform::ui::View&) { userWantsToLogin(); });
    declareAction("userWantsToSeeTerms", [this](platform::ui::View&) { userWantsToSeeTerms(); });
}

std::shared_ptr<StartSignupView> StartSignupView::make()
{
    auto view = create<StartSignupView>();
    view->setupBackground();
    view->setupScrollViewAndPageControl();
    return view;
}

void StartSignupView::setupBackground()
{
    bool tall = platform::ui::Screen::main().bounds().height() == 667;
    bgImageView()->setImage(
        platform::ui::Image::named(tall ? "BackgroundOffCentreBubble-667" : "BackgroundOffCentreBubble"));
}

void StartSignupView::setupScrollViewAndPageControl()
{
    scrollView()->setDelegate(
        std::dynamic_pointer_cast<platform::ui::ScrollViewDelegate>(shared_from_this()));
    pageControl()->setCurrentPage(0);
}

void StartSignupView::didEndDecelerating(platform::ui::ScrollView& scrollView)
{
    pageControl()->setCurrentPage(pageForOffset(scrollView.contentOffset().x, scrollView.frame().width()));
}

int StartSignupView::pageForOffset(double x, double width)
{
    return int(std::floor((x - 0.5 * width) / width)) + 1;
}

void StartSignupView::userWantsToSignUp()
{
    if (auto listener = controller())
        listener->userWantsToSignUp();
}

void StartSignupView::userWantsToLogin()
{
    if (auto listener = controller())
        listener->userWantsToLogin();
}

void StartSignupView::userWantsToSeeTerms()
{
    if (auto listener = controller())
        listener->userWantsToSeeTerms();
}

}
