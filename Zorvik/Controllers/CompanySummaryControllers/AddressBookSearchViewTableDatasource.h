#pragma once

#include "Zorvik/Controllers/CompanySummaryControllers/AddressBookContactFilter.h"
#include "Zorvik/Controllers/CompanySummaryControllers/SearchViewTableDatasource.h"

#include <memory>
#include <optional>

namespace zorvik {

/// The search screen's source over the device's contacts: its items are AddressBookContact values, one per
/// e-mail address. fetchAllSearchItems() reads the address book on a background queue and hands the sorted
/// list back on the main queue; searches filter that list in memory as the user types (see
/// AddressBookContactFilter). Without access to the contacts the list is empty. With an empty term every
/// entry is a row; the typed-term row stands for a contact whose only value is the term as its address.
class AddressBookSearchViewTableDatasource
    : public SearchViewTableDatasource,
      public std::enable_shared_from_this<AddressBookSearchViewTableDatasource> {
public:
    /// A source dressed in `colourScheme`, with `emptyView` behind an empty table; its status row speaks of
    /// "contacts".
    AddressBookSearchViewTableDatasource(
        std::shared_ptr<SearchViewColourScheme> colourScheme, std::shared_ptr<platform::ui::View> emptyView);

    /// Reads every contact again, in the background; on the main queue the list becomes allContacts() and
    /// the items, and `result` gets it. A source let go meanwhile answers nothing.
    void fetchAllSearchItems(SearchResultBlock result) override;
    /// Answers at once: the entries `term` finds while the typed-term row shows a term, else every entry
    /// (none before the first load). Never an error.
    void search(const std::string& term, SearchResultBlock result) override;

    /// Every entry of the last load, or nothing before the first load has finished.
    const std::optional<AddressBookContactFilter>& allContacts() const { return m_allContacts; }

protected:
    std::string className() const override { return "AddressBookSearchViewTableDatasource"; }
    SearchItem itemForTerm(const std::string& term) const override;
    std::shared_ptr<platform::ui::TableViewCell> resultCell(
        platform::ui::TableView& table, const std::string& term, const SearchItem& item) override;
    bool listsItemsWithoutTerm() const override { return true; }

private:
    static SearchItems items(const std::vector<AddressBookContact>& contacts);

    std::optional<AddressBookContactFilter> m_allContacts;
};

}
