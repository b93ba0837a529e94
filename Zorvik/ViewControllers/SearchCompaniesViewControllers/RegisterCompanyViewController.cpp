#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/RegisterCompanyViewController.h"

#include "Zorvik/Controllers/CompanySummaryControllers/CompanySearchViewTableDatasource.h"
#include "Zorvik/Models/ReusableTimerObjc.h"
#include "Zorvik/ViewControllers/CompanySummaryViewControllers/ConfirmBusinessViewController.h"
#include "Zorvik/Views/SearchView/EditableSearchView.h"
#include "Zorvik/Views/SearchView/EmptySearchResultsView.h"
#include "Zorvik/Views/SearchView/SearchViewColourScheme.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/repositories/CompaniesHouse.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/NavigationController.h"

#include <utility>

namespace zorvik {

using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;

RegisterCompanyViewController::RegisterCompanyViewController(std::string username, std::string pin)
    : m_username(std::move(username))
    , m_pin(std::move(pin))
    , m_colourScheme(SearchView::companySearchDarkColourScheme())
{
}

void RegisterCompanyViewController::loadView()
{
    auto theme = EditableSearchView::barTheme(platform::ui::Color::white(), "BtnLessThanWhite");

    auto emptyView = EmptySearchResultsView::make(*m_colourScheme->emptyViewColourScheme(), kEmptyText);
    auto datasource = std::make_shared<CompanySearchViewTableDatasource>(m_colourScheme, emptyView);
    m_searchView = EditableSearchView::make(
        datasource, m_colourScheme, theme, kPrompt, std::make_shared<ReusableTimerObjc>());
    m_searchView->setController(
        std::static_pointer_cast<RegisterCompanyViewController>(shared_from_this()));
    m_searchView->setTitle(kTitle);
    setView(m_searchView);
}

void RegisterCompanyViewController::viewDidLoad()
{
    SearchViewController::viewDidLoad();
    setNeedsStatusBarAppearanceUpdate();
}

platform::ui::StatusBarStyle RegisterCompanyViewController::preferredStatusBarStyle() const
{
    return platform::ui::StatusBarStyle::LightContent;
}

std::shared_ptr<SearchViewProtocol> RegisterCompanyViewController::searchView() const
{
    return m_searchView;
}

DictionaryRef RegisterCompanyViewController::credentials() const
{
    return Dictionary::make({ { "email", m_username }, { "password", m_pin } });
}

void RegisterCompanyViewController::searchItemSelected(const SearchItem& item)
{
    auto self = shared_from_this();
    std::shared_ptr<SignupWithCompanyViewController> next;
    if (auto name = std::get_if<std::string>(&item)) {
        next = std::make_shared<ConfirmBusinessViewController>(
            credentials(), api::Business::withName(*name).record());
    } else if (auto hit = std::get_if<DictionaryRef>(&item); hit && *hit) {
        if (api::CompaniesHouse::isBusinessRegisteredWithCompaniesHouse(api::Business(*hit)))
            next = std::make_shared<SignupWithCompanyViewController>(credentials(), *hit);
        else
            next = std::make_shared<ConfirmBusinessViewController>(credentials(), *hit);
    }
    auto navigation = navigationController();
    if (next && navigation)
        navigation->pushViewController(next, true);
}

void RegisterCompanyViewController::navigateBack()
{
    auto self = shared_from_this();
    if (auto navigation = navigationController())
        navigation->popViewController(true);
}

}
