#pragma once

#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/SearchViewController.h"
#include "Zorvik/Views/SearchView/SearchControllerProtocol.h"
#include "platform/foundation/Value.h"

#include <memory>
#include <string>

namespace zorvik {

class CompanySearchViewTableDatasource;
class EditableSearchView;
class SearchViewColourScheme;

/// The company search of sign-up, reached once the new PIN is confirmed: the user looks the business up in
/// the company register (dark colours, titled kTitle), or types its name and presses done. It holds the new
/// account's e-mail address and PIN, in memory only, and hands them on as the credentials {"email",
/// "password"} to the screen that makes the account:
///
///   typed name                           ConfirmBusinessViewController, over a business of that name only
///   register hit with a registration no. SignupWithCompanyViewController, over the hit
///   register hit without one             ConfirmBusinessViewController, over the hit
///
/// Anything else picked (nothing the company search offers) is ignored. Back pops the screen.
class RegisterCompanyViewController : public SearchViewController, public SearchControllerProtocol {
public:
    /// The bar's title.
    static constexpr const char* kTitle { "Your business name" };
    /// The search field's placeholder.
    static constexpr const char* kPrompt { "your business name" };
    /// What the empty results say.
    static constexpr const char* kEmptyText { "We will search our database." };

    /// The search for the new account `username` with the PIN `pin`.
    RegisterCompanyViewController(std::string username, std::string pin);

    std::string className() const override { return "RegisterCompanyViewController"; }

    /// Builds the editable company search in the dark colours.
    void loadView() override;
    /// Asks for a status bar update.
    void viewDidLoad() override;
    /// Light content.
    platform::ui::StatusBarStyle preferredStatusBarStyle() const override;

    /// Pushes, animated, the screen that makes the account for the picked business (see the class).
    void searchItemSelected(const SearchItem& item) override;
    /// Pops the screen, animated.
    void navigateBack() override;

    /// The new account's e-mail address.
    const std::string& username() const { return m_username; }
    /// The new account's PIN.
    const std::string& pin() const { return m_pin; }
    /// A new record of the credentials handed on: exactly {"email": username(), "password": pin()}.
    platform::foundation::DictionaryRef credentials() const;

    const std::shared_ptr<SearchViewColourScheme>& colourScheme() const { return m_colourScheme; }
    std::shared_ptr<SearchViewProtocol> searchView() const override;
    const std::shared_ptr<EditableSearchView>& editableSearchView() const { return m_searchView; }

private:
    std::string m_username;
    std::string m_pin;
    std::shared_ptr<SearchViewColourScheme> m_colourScheme;
    std::shared_ptr<EditableSearchView> m_searchView;
};

}
