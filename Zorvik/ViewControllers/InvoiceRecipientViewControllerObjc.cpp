#include "Zorvik/ViewControllers/InvoiceRecipientViewControllerObjc.h"

#include "Zorvik/ViewControllers/Transitions/Animations/InstantViewControllerTransition.h"
#include "Zorvik/Views/InvoiceReceiverView/InvoiceReceiverView.h"
#include "platform/ui/NavigationController.h"

namespace zorvik {

InvoiceRecipientViewControllerObjc::InvoiceRecipientViewControllerObjc(
    platform::foundation::DictionaryRef business, bool isReadOnly)
    : m_business(std::move(business))
    , m_isReadOnly(isReadOnly)
{
}

void InvoiceRecipientViewControllerObjc::loadView()
{
    m_receiverView = InvoiceReceiverView::make();
    m_receiverView->setBusiness(m_business);
    m_receiverView->setReadonly(m_isReadOnly);
    m_receiverView->setController(std::weak_ptr<InvoiceReceiverControllerProtocol>(
        std::static_pointer_cast<InvoiceRecipientViewControllerObjc>(shared_from_this())));
    setView(m_receiverView);
}

std::shared_ptr<platform::ui::TransitionAnimator> InvoiceRecipientViewControllerObjc::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<InstantViewControllerTransition>();
}

std::shared_ptr<platform::ui::TransitionAnimator> InvoiceRecipientViewControllerObjc::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<InstantViewControllerTransition>();
}

void InvoiceRecipientViewControllerObjc::businessConfirmed(const platform::foundation::DictionaryRef&)
{
    auto self = shared_from_this();
    if (auto navigation = navigationController())
        navigation->popViewController(true);
}

}
