#include "Zorvik/ViewControllers/ReadOnlyInvoiceViewController.h"

#include "Zorvik/ViewControllers/CreateInvoiceViewController.h"
#include "Zorvik/ViewControllers/Transitions/Animations/HorizontalViewControllerTransition.h"
#include "Zorvik/ViewControllers/Transitions/Animations/VerticalViewControllerTransition.h"
#include "Zorvik/Views/CreateInvoiceView/ReadOnlyInvoiceView.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/ui/NavigationController.h"

#include <typeinfo>

namespace zorvik {

using platform::foundation::ArrayRef;
using platform::foundation::DictionaryRef;

namespace {

// The duplicate-invoice screen: exactly the create-invoice class, not a subclass.
bool isDuplicate(const std::shared_ptr<platform::ui::ViewController>& screen)
{
    return screen && typeid(*screen) == typeid(CreateInvoiceViewController);
}

}

ReadOnlyInvoiceViewController::ReadOnlyInvoiceViewController(api::Freelancer user, DictionaryRef invoice)
    : m_user(std::move(user))
    , m_invoice(std::move(invoice))
{
}

std::shared_ptr<ReadOnlyInvoiceViewController> ReadOnlyInvoiceViewController::self()
{
    return std::static_pointer_cast<ReadOnlyInvoiceViewController>(shared_from_this());
}

void ReadOnlyInvoiceViewController::loadView()
{
    m_view = ReadOnlyInvoiceView::make(m_user, m_invoice);
    m_view->setController(std::weak_ptr<ContentViewController>(self()));
    m_view->setDelegate(std::weak_ptr<CreateInvoiceViewDelegate>(self()));
    setView(m_view);
}

void ReadOnlyInvoiceViewController::viewDidLoad()
{
    ContentViewController::viewDidLoad();
    setNeedsStatusBarAppearanceUpdate();
    determineWhichContentViewToShow();
    disableAddLogoAction();
}

void ReadOnlyInvoiceViewController::determineWhichContentViewToShow()
{
    auto image = loadImage();
    auto business = m_user.business();
    auto address = business ? business->logo() : std::nullopt;
    if (image && address && !address->empty())
        showViewWithLogo(image);
    else
        showViewWithoutLogo();
}

void ReadOnlyInvoiceViewController::logoAdded()
{
    ContentViewController::logoAdded();
    m_view->applyNavigationBarThemeForLogo();
}

std::shared_ptr<platform::ui::TransitionAnimator> ReadOnlyInvoiceViewController::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>& pushed)
{
    if (isDuplicate(pushed))
        return std::make_shared<VerticalViewControllerTransition>(
            VerticalViewControllerTransitionAction::RiseOver);
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromRight);
}

std::shared_ptr<platform::ui::TransitionAnimator> ReadOnlyInvoiceViewController::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>& popped)
{
    if (isDuplicate(popped))
        return std::make_shared<VerticalViewControllerTransition>(
            VerticalViewControllerTransitionAction::DropAway);
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromLeft);
}

ArrayRef ReadOnlyInvoiceViewController::lineItems() const
{
    return api::Invoice(m_invoice).lineItems();
}

void ReadOnlyInvoiceViewController::push(std::shared_ptr<platform::ui::ViewController> screen)
{
    if (auto navigation = navigationController())
        navigation->pushViewController(std::move(screen), true);
}

void ReadOnlyInvoiceViewController::pop()
{
    auto keep = shared_from_this();
    if (auto navigation = navigationController())
        navigation->popViewController(true);
}

}
