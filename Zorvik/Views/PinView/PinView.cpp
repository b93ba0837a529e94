#include "Zorvik/Views/PinView/PinView.h"

#include "Zorvik/Controllers/PinController/PinControllerProtocol.h"
#include "Zorvik/Views/Constraints/MatchParentConstraints.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/PinView/FailedPinAttemptView.h"
#include "Zorvik/Views/PinView/PinDotView.h"
#include "Zorvik/Views/PinView/PinKeyboardView.h"
#include "platform/ui/ImageView.h"

namespace zorvik {

using platform::ui::View;

PinView::PinView()
{
    declareOutlet("pinDots", m_pinDots);
    declareOutlet("pinKeyboard", m_pinKeyboard);
    declareOutlet("infoView", m_infoView);
    declareOutlet("background", m_background, platform::ui::OutletRequirement::Optional);
    declareOutlet("navigationBar", m_navigationBar);
    declareOutlet("loadingView", m_loadingView);
}

std::shared_ptr<PinView> PinView::make()
{
    auto view = create<PinView>();
    view->pinKeyboard()->setObserver(std::static_pointer_cast<PinKeyboardDelegate>(view));
    view->navigationBar()->setObserver(std::static_pointer_cast<NavigationBarDelegate>(view));
    return view;
}

bool PinView::shouldLoadShortIPhoneViewForNib(const std::string&) const
{
    return true;
}

std::shared_ptr<View> PinView::informationView() const
{
    const auto& subviews = infoView()->subviews();
    return subviews.empty() ? nullptr : subviews.front();
}

void PinView::setInformationView(const std::shared_ptr<View>& view)
{
    if (auto current = informationView())
        current->removeFromSuperview();
    if (!view)
        return;
    auto area = infoView();
    area->insertSubviewAt(view, 0);
    MatchParentConstraints::constrainChildToMatchParent(view, area);
}

void PinView::hideBackButton()
{
    navigationBar()->hideNegativeButton();
}

void PinView::showErrorView(const std::shared_ptr<FailedPinAttemptView>& error)
{
    if (m_errorView)
        m_errorView->removeFromSuperview();
    m_errorView = error;
    if (auto information = informationView())
        information->setHidden(true);
    auto area = infoView();
    area->addSubview(error);
    MatchParentConstraints::constrainChildToMatchParent(error, area);
}

void PinView::clearPin()
{
    m_pin.clear();
    pinDots()->clear();
}

void PinView::showBusyView()
{
    pinDots()->setHidden(true);
    pinKeyboard()->setUserInteractionEnabled(false);
    auto spinner = loadingView();
    spinner->setSpinnerColour(platform::ui::Color::white());
    spinner->setHidden(false);
    spinner->beginAnimation();
}

void PinView::hideBusyView()
{
    pinKeyboard()->setUserInteractionEnabled(true);
    pinDots()->setHidden(false);
    auto spinner = loadingView();
    spinner->endAnimation();
    spinner->setHidden(true);
}

void PinView::numberPressedWithNumber(std::int64_t number)
{
    auto self = shared_from_this();
    if (m_errorView)
        m_errorView->removeFromSuperview();
    if (auto information = informationView())
        information->setHidden(false);
    if (m_pin.addDigit(number))
        pinDots()->addDot();
    if (m_pin.isAtMaxLength()) {
        // A copy: the controller may clear the pad before it is done with the PIN.
        std::string digits = m_pin.digits();
        if (auto listener = controller())
            listener->pinEntered(digits);
    }
}

void PinView::deletePressed()
{
    if (m_pin.removeDigit())
        pinDots()->removeDot();
}

void PinView::negativePressed()
{
    if (auto listener = controller())
        listener->navigateBack();
}

}
