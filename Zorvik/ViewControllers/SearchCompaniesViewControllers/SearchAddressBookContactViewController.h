#pragma once

#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/AddressBookContactSearchViewDelegate.h"
#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/SearchViewController.h"
#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"
#include "Zorvik/Views/SearchView/SearchControllerProtocol.h"

#include <memory>
#include <optional>
#include <string>

namespace zorvik {

class AddressBookSearchViewTableDatasource;
class EditableSearchView;
class SearchViewColourScheme;

/// The screen on which the user picks an invoice recipient's e-mail address from the device's contacts: an
/// editable search over the contacts, which come up like a sheet. Each appearance reads the contacts again;
/// a recipient address given at creation is searched for at once. A contact row gives that entry's address,
/// the typed-term row and the done button the typed text itself; the delegate hears of it, then the screen
/// pops. Back pops without telling the delegate.
class SearchAddressBookContactViewController : public SearchViewController,
                                               public SearchControllerProtocol,
                                               public ViewControllerTransitionDelegate {
public:
    /// A picker whose first search is `recipientEmail` (none: the full list).
    explicit SearchAddressBookContactViewController(std::optional<std::string> recipientEmail = std::nullopt);

    std::string className() const override { return "SearchAddressBookContactViewController"; }

    /// Sets the delegate, held weakly.
    void setDelegate(std::weak_ptr<AddressBookContactSearchViewDelegate> delegate)
    {
        m_delegate = std::move(delegate);
    }
    std::shared_ptr<AddressBookContactSearchViewDelegate> delegate() const { return m_delegate.lock(); }

    /// Builds the search over the contacts, its spinner turning.
    void loadView() override;
    /// Reads the contacts again, then searches for the recipient address, when there is one.
    void viewWillAppear(bool animated) override;

    /// Every screen arrives rising over this one.
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed) override;
    /// Every screen leaves rising off the top.
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped) override;

    /// The delegate gets the item's address (a contact's e-mail, or the typed text), then the screen pops.
    void searchItemSelected(const SearchItem& item) override;
    /// Pops the screen, animated.
    void navigateBack() override;

    const std::optional<std::string>& recipientEmail() const { return m_recipientEmail; }
    const std::shared_ptr<SearchViewColourScheme>& colourScheme() const { return m_colourScheme; }
    std::shared_ptr<SearchViewProtocol> searchView() const override;
    const std::shared_ptr<EditableSearchView>& editableSearchView() const { return m_searchView; }
    const std::shared_ptr<AddressBookSearchViewTableDatasource>& addressBookDatasource() const
    {
        return m_addressBookDatasource;
    }

private:
    std::shared_ptr<SearchViewColourScheme> m_colourScheme;
    std::weak_ptr<AddressBookContactSearchViewDelegate> m_delegate;
    std::shared_ptr<EditableSearchView> m_searchView;
    std::shared_ptr<AddressBookSearchViewTableDatasource> m_addressBookDatasource;
    std::optional<std::string> m_recipientEmail;
};

}
