#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/SearchAddressBookContactViewController.h"

#include "Zorvik/Controllers/CompanySummaryControllers/AddressBookSearchViewTableDatasource.h"
#include "Zorvik/Models/ReusableTimerObjc.h"
#include "Zorvik/ViewControllers/Transitions/Animations/VerticalViewControllerTransition.h"
#include "Zorvik/Views/Colours/ColoursObjc.h"
#include "Zorvik/Views/NavigationBar/NavigationBarTheme.h"
#include "Zorvik/Views/NavigationBarModes/NavigationBarModeEdit.h"
#include "Zorvik/Views/SearchView/EditableSearchView.h"
#include "Zorvik/Views/SearchView/EmptySearchResultsView.h"
#include "Zorvik/Views/SearchView/SearchViewColourScheme.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"

namespace zorvik {

using platform::ui::Color;

SearchAddressBookContactViewController::SearchAddressBookContactViewController(
    std::optional<std::string> recipientEmail)
    : m_colourScheme(SearchView::contactSearchColourScheme())
    , m_recipientEmail(std::move(recipientEmail))
{
}

void SearchAddressBookContactViewController::loadView()
{
    auto self = std::static_pointer_cast<SearchAddressBookContactViewController>(shared_from_this());
    platform::ui::TextAttributes doneAttributes;
    doneAttributes.font = NavigationBarModeEdit::positiveFont();
    auto theme = std::make_shared<NavigationBarTheme>(Color::white(), Color::black(),
        Color::fromWhite(0, 0.4), platform::ui::Image::named("BtnTealLessThan"), std::nullopt, nullptr,
        platform::ui::AttributedString("done", doneAttributes));
    theme->setBackgroundColour(Color::clear());
    theme->setDividerColour(Color::clear());
    theme->setTitleColour(ColoursObjc::teal());

    auto emptyView = EmptySearchResultsView::make(
        *m_colourScheme->emptyViewColourScheme(), "We will search your contacts.");
    m_addressBookDatasource
        = std::make_shared<AddressBookSearchViewTableDatasource>(m_colourScheme, emptyView);
    m_searchView = EditableSearchView::make(m_addressBookDatasource, m_colourScheme, theme,
        "Search by name or email", std::make_shared<ReusableTimerObjc>());
    m_searchView->setController(std::static_pointer_cast<SearchControllerProtocol>(self));
    m_searchView->setTitle("Email contacts");
    setView(m_searchView);
    m_searchView->showLoadingView();
}

void SearchAddressBookContactViewController::viewWillAppear(bool)
{
    m_searchView->fetchAllSearchItems();
    if (m_recipientEmail)
        m_searchView->setSearchTerm(*m_recipientEmail);
}

std::shared_ptr<platform::ui::TransitionAnimator> SearchAddressBookContactViewController::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<VerticalViewControllerTransition>(
        VerticalViewControllerTransitionAction::RiseOver);
}

std::shared_ptr<platform::ui::TransitionAnimator> SearchAddressBookContactViewController::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>&)
{
    return std::make_shared<VerticalViewControllerTransition>(
        VerticalViewControllerTransitionAction::RiseAway);
}

std::shared_ptr<SearchViewProtocol> SearchAddressBookContactViewController::searchView() const
{
    return m_searchView;
}

void SearchAddressBookContactViewController::searchItemSelected(const SearchItem& item)
{
    auto self = shared_from_this();
    std::string email;
    if (auto contact = std::get_if<AddressBookContact>(&item))
        email = contact->email().value_or("");
    else if (auto text = std::get_if<std::string>(&item))
        email = *text;
    else
        return;
    if (auto listener = delegate())
        listener->addContactEmailFromSearch(email);
    navigateBack();
}

void SearchAddressBookContactViewController::navigateBack()
{
    auto self = shared_from_this();
    if (auto navigation = navigationController())
        navigation->popViewController(true);
}

}
