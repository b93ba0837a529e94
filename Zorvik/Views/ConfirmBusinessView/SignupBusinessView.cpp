#include "Zorvik/Views/ConfirmBusinessView/SignupBusinessView.h"

#include "Zorvik/ViewControllers/CompanySummaryViewControllers/SignupWithCompanyViewController.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/OneButtonDialogView/OneButtonDialogView.h"
#include "platform/ui/Button.h"

namespace zorvik {

SignupBusinessView::SignupBusinessView(platform::foundation::DictionaryRef business)
    : ContentViewObjc(std::move(business))
{
    declareOutlet("button", m_button);
    declareOutlet("loadingView", m_loadingView);
    declareAction("companyConfirmed", [this](platform::ui::View&) { companyConfirmed(); });
}

void SignupBusinessView::construct()
{
    ContentViewObjc::construct();
    navigationBar()->setObserver(std::weak_ptr<NavigationBarDelegate>(
        std::static_pointer_cast<SignupBusinessView>(shared_from_this())));
    m_loadingView->setHidden(true);
}

std::shared_ptr<SignupWithCompanyViewController> SignupBusinessView::signupScreen() const
{
    return std::dynamic_pointer_cast<SignupWithCompanyViewController>(controller());
}

void SignupBusinessView::showLoadingView()
{
    setUserInteractionEnabled(false);
    m_button->setHidden(true);
    m_loadingView->setHidden(false);
    m_loadingView->beginAnimation();
}

void SignupBusinessView::hideLoadingView()
{
    setUserInteractionEnabled(true);
    m_button->setHidden(false);
    m_loadingView->setHidden(true);
    m_loadingView->endAnimation();
}

void SignupBusinessView::showInfoMessage(const std::string& message, const std::string& buttonText, int event)
{
    if (!m_infoView) {
        m_infoView = OneButtonDialogView::make();
        m_infoView->setController(std::weak_ptr<OneButtonDialogControllerProtocol>(
            std::static_pointer_cast<SignupBusinessView>(shared_from_this())));
    }
    m_infoView->setMessage(message);
    m_infoView->setButtonText(buttonText);
    m_event = event;
    m_infoView->showInParent(shared_from_this());
}

void SignupBusinessView::companyConfirmed()
{
    if (auto screen = signupScreen())
        screen->companyConfirmed(business());
}

void SignupBusinessView::negativePressed()
{
    if (!isUserInteractionEnabled())
        return;
    if (auto screen = signupScreen())
        screen->navigateBack();
}

void SignupBusinessView::dialogDismissed(OneButtonDialogView&)
{
    if (auto screen = signupScreen())
        screen->infoViewDismissed(m_event.value_or(0));
}

}
