#include "Zorvik/ViewControllers/WelcomeViewController.h"

#include "Zorvik/Events/AnalyticsEvents.h"
#include "Zorvik/ViewControllers/FoldersViewController/FoldersViewControllerObjc.h"
#include "Zorvik/Views/WelcomeView/WelcomeView.h"
#include "ZorvikAPI/models/Freelancer.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/NavigationController.h"

namespace zorvik {

void WelcomeViewController::loadView()
{
    auto view = XibViewObjcmb::create<WelcomeView>();
    view->setController(std::static_pointer_cast<WelcomeViewController>(shared_from_this()));
    setView(view);
}

void WelcomeViewController::viewDidLoad()
{
    auto freelancer = api::Freelancer::loggedInFreelancer();
    auto email = freelancer ? freelancer->email().value_or("") : std::string();
    platform::foundation::NotificationCenter::defaultCenter().post(AnalyticsEvents::analyticsSignedUp,
        nullptr, platform::foundation::Dictionary::make({ { "username", email } }));
}

void WelcomeViewController::getStarted()
{
    auto navigation = navigationController();
    auto freelancer = api::Freelancer::loggedInFreelancer();
    if (navigation && freelancer)
        navigation->pushViewController(std::make_shared<FoldersViewControllerObjc>(*freelancer), false);
}

}
