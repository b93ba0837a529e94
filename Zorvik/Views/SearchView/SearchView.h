#pragma once

#include "Zorvik/Views/NavigationBar/NavigationBarDelegate.h"
#include "Zorvik/Views/SearchView/SearchViewProtocol.h"
#include "Zorvik/Views/XibViews/XibViewObjcmb.h"
#include "platform/ui/TableView.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform::ui {
class TextField;
}

namespace zorvik {

class LoadingView;
class NavigationBar;
class ReusableTimerProtocolObjc;
class SearchViewColourScheme;

/// The app's one search screen view (nib "SearchView"): its bar with a back button, a search field whose
/// placeholder is the prompt, a spinner, and a table of the typed term, a status row and the results, over
/// an empty view while it has no rows. What is searched and how rows look belongs to the data source; what
/// a picked row means belongs to the controller.
///
/// Typing: every edit of the field sets the term, which goes to the source and restarts the delay timer,
/// so the source is asked 0.3 s after the last keystroke. Only the answer to the latest search is shown:
/// an answer that arrives after the term changed again is dropped, whatever order the answers come in.
///
/// The field is focused when the view is made and whenever it enters a window.
class SearchView : public XibViewObjcmb,
                   public SearchViewProtocol,
                   public NavigationBarDelegate,
                   public platform::ui::TableViewDelegate {
public:
    /// The delay between the last keystroke and the search, in seconds.
    static constexpr double searchDelay = 0.3;

    /// An empty view; make one with make().
    SearchView();

    /// A search view over `datasource` in `colourScheme`, prompting with `searchPrompt`, waiting on `timer`
    /// before it searches.
    static std::shared_ptr<SearchView> make(std::shared_ptr<SearchViewTableDatasourceProtocol> datasource,
        std::shared_ptr<SearchViewColourScheme> colourScheme, std::string searchPrompt,
        std::shared_ptr<ReusableTimerProtocolObjc> timer);

    /// The dark preset of the sign-up company search (a new scheme on every call).
    static std::shared_ptr<SearchViewColourScheme> companySearchDarkColourScheme();
    /// The light preset of the invoice-recipient search.
    static std::shared_ptr<SearchViewColourScheme> companySearchLightColourScheme();
    /// The preset of the contact e-mail search.
    static std::shared_ptr<SearchViewColourScheme> contactSearchColourScheme();

    std::string className() const override { return "SearchView"; }

    /// Restyles the view, its bar, field, spinner and table, and puts the source's empty view behind the
    /// table.
    void setColourScheme(const SearchViewColourScheme& scheme);

    void showLoadingView() override;
    void hideLoadingView() override;
    /// Asks the source for every item; on the answer, a field holding text is searched again (over what was
    /// loaded), an empty field shows every item.
    void fetchAllSearchItems() override;
    /// Hands the term to the source, shows the spinner and (re)starts the delay; when it runs out the source
    /// is asked for the term current then.
    void search() override;
    void reloadTable() override;

    std::shared_ptr<SearchControllerProtocol> controller() const override { return m_controller.lock(); }
    void setController(const std::weak_ptr<SearchControllerProtocol>& controller) override
    {
        m_controller = controller;
    }
    const SearchItems& searchItems() const override;
    /// Hands the items to the source, stops the spinner, ends the source's search and reloads the table.
    void setSearchItems(SearchItems items) override;
    std::string title() const override;
    void setTitle(const std::string& title) override;
    const std::string& searchTerm() const override { return m_searchTerm; }
    /// Keeps the term, writes it into the field and searches.
    void setSearchTerm(const std::string& term) override;
    bool focusSearchField() override;
    /// The same as setSearchTerm().
    void searchTermChanged(const std::string& term) { setSearchTerm(term); }

    /// The field's edit action: the term becomes the field's text, the empty view steps aside until the next
    /// reload.
    virtual void searchTextChanged();

    /// The bar's back button: the controller navigates back.
    void negativePressed() override;
    /// A row was picked: the keyboard goes, then the controller hears the row's item. The status row is not
    /// an item; a tap on it does nothing.
    void didSelectRow(platform::ui::TableView& table, const platform::ui::IndexPath& indexPath) override;

    /// Focuses the field when the view enters a window (a view that only joins a superview outside a window
    /// cannot take the focus yet).
    void didMoveToWindow() override;
    /// Focuses the search field.
    bool becomeFirstResponder() override;

    const std::shared_ptr<SearchViewTableDatasourceProtocol>& datasource() const { return m_datasource; }
    const std::string& searchPrompt() const { return m_searchPrompt; }
    const std::shared_ptr<ReusableTimerProtocolObjc>& timer() const { return m_timer; }
    const std::shared_ptr<NavigationBar>& navigationBar() const { return m_navigationBar; }
    const std::shared_ptr<platform::ui::TextField>& searchTextField() const { return m_searchTextField; }
    const std::shared_ptr<platform::ui::TableView>& searchItemsTableView() const
    {
        return m_searchItemsTableView;
    }
    const std::shared_ptr<LoadingView>& loadingView() const { return m_loadingView; }

protected:
    /// The initialiser's steps after the nib is loaded (see make()).
    void initialise(std::shared_ptr<SearchViewTableDatasourceProtocol> datasource,
        const std::shared_ptr<SearchViewColourScheme>& colourScheme, std::string searchPrompt,
        std::shared_ptr<ReusableTimerProtocolObjc> timer);

private:
    // Applies an answer to the search numbered `search`, unless a later search began meanwhile.
    void searchAnswered(std::uint64_t search, const std::optional<platform::http::HttpError>& error,
        const SearchItems& items);

    std::weak_ptr<SearchControllerProtocol> m_controller;
    std::string m_searchTerm;
    std::shared_ptr<SearchViewTableDatasourceProtocol> m_datasource;
    std::string m_searchPrompt;
    std::shared_ptr<ReusableTimerProtocolObjc> m_timer;
    // Counts the searches begun, so that a late answer to an earlier one is recognised.
    std::uint64_t m_searches { 0 };

    std::shared_ptr<NavigationBar> m_navigationBar;
    std::shared_ptr<platform::ui::TextField> m_searchTextField;
    std::shared_ptr<platform::ui::TableView> m_searchItemsTableView;
    std::shared_ptr<LoadingView> m_loadingView;
    std::shared_ptr<platform::ui::View> m_background;
    std::shared_ptr<platform::ui::View> m_divider;
    std::shared_ptr<platform::ui::View> m_headerBackground;
    std::shared_ptr<platform::ui::View> m_textFieldBackground;
};

/// Registers the search screen's nibs and classes: "SearchView", "EmptySearchResultsView" and the rows'
/// nibs ("SearchTermTableCell", "SearchStatusTableCell", "CompaniesSearchResultsTableCell",
/// "AddressBookContactSearchResultsTableCell"). Calling it again registers nothing twice.
void registerSearchViewNibs();

}
