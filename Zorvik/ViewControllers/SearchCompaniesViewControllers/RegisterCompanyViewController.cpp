#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/RegisterCompanyViewController.h"

#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

#include <utility>

namespace zorvik {

RegisterCompanyViewController::RegisterCompanyViewController(std::string username, std::string pin)
    : m_username(std::move(username))
    , m_pin(std::move(pin))
{
}

void RegisterCompanyViewController::loadView()
{
    auto bounds = platform::ui::Screen::main().bounds();
    auto view = std::make_shared<platform::ui::View>(bounds);
    auto bar = NavigationBar::make(kTitle);
    bar->setFrame({ 0, 0, bounds.width(), bar->frame().height() });
    bar->setObserver(std::dynamic_pointer_cast<NavigationBarDelegate>(shared_from_this()));
    view->addSubview(bar);
    setView(view);
}

platform::ui::StatusBarStyle RegisterCompanyViewController::preferredStatusBarStyle() const
{
    return platform::ui::StatusBarStyle::LightContent;
}

void RegisterCompanyViewController::negativePressed()
{
    navigateBack();
}

void RegisterCompanyViewController::navigateBack()
{
    auto self = shared_from_this();
    if (auto navigation = navigationController())
        navigation->popViewController(true);
}

}
