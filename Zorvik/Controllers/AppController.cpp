#include "Zorvik/Controllers/AppController.h"

#include "Zorvik/DeviceStorage/DeviceSettingsStore.h"
#include "Zorvik/ViewControllers/PinViewController/LoginWithPinViewController.h"
#include "Zorvik/ViewControllers/StartSignupViewController.h"
#include "platform/foundation/Clock.h"
#include "platform/ui/NavigationController.h"

#include <cmath>

namespace zorvik {

using platform::foundation::Date;

AppController::AppController(
    FileStore fileStore, std::shared_ptr<platform::ui::NavigationController> navigationController)
    : m_fileStore(std::move(fileStore))
    , m_navigationController(std::move(navigationController))
{
}

bool AppController::isOverIdleLimit(std::optional<Date> wentToBackground, Date now)
{
    double absence = wentToBackground ? now.secondsSince(*wentToBackground) : 0;
    if (absence < 0)
        return true;
    return static_cast<long>(std::trunc(absence / 60)) > kIdleLimitMinutes;
}

void AppController::start()
{
    if (m_isStarted)
        return;
    m_isStarted = true;

    auto username = m_fileStore.readFromFile(kUserFileName);
    if (username && username->find_first_not_of(" \t\r\n") == std::string::npos)
        username.reset();
    if (!username) {
        // A person part-way through sign-up comes back to the screen they left.
        if (m_navigationController->viewControllers().empty())
            m_navigationController->pushViewController(std::make_shared<StartSignupViewController>(), false);
        return;
    }

    // A store that cannot be read says nothing about the time away: the PIN is asked.
    auto now = platform::foundation::now();
    auto settings = DeviceSettingsStore::sharedStore().fetchDeviceSettings();
    auto wentToBackground = settings.value ? settings.value->timeAppWentToBackground() : std::nullopt;
    if (settings.ok() && !isOverIdleLimit(wentToBackground, now)
        && !m_navigationController->viewControllers().empty())
        return;
    showPinLogin(*username);
}

void AppController::showPinLogin(const std::string& username)
{
    auto screens = m_navigationController->viewControllers();
    for (const auto& screen : screens) {
        if (screen->presentedViewController())
            screen->dismissViewController(false);
    }
    m_navigationController->setViewControllers({}, false);
    m_navigationController->pushViewController(
        std::make_shared<LoginWithPinViewController>(username, false), false);
}

}
