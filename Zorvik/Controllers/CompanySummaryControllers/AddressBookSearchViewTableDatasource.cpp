#include "Zorvik/Controllers/CompanySummaryControllers/AddressBookSearchViewTableDatasource.h"

#include "Zorvik/Views/SearchView/AddressBookContactSearchResultsTableCell.h"
#include "Zorvik/Views/SearchView/SearchViewColourScheme.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/MainQueue.h"

namespace zorvik {

AddressBookSearchViewTableDatasource::AddressBookSearchViewTableDatasource(
    std::shared_ptr<SearchViewColourScheme> colourScheme, std::shared_ptr<platform::ui::View> emptyView)
    : SearchViewTableDatasource(std::move(colourScheme), std::move(emptyView), "contacts")
{
}

SearchItems AddressBookSearchViewTableDatasource::items(const std::vector<AddressBookContact>& contacts)
{
    return std::vector<SearchItem>(contacts.begin(), contacts.end());
}

void AddressBookSearchViewTableDatasource::fetchAllSearchItems(SearchResultBlock result)
{
    std::weak_ptr<AddressBookSearchViewTableDatasource> weak = shared_from_this();
    platform::foundation::DispatchQueue::global().async([weak, result = std::move(result)]() mutable {
        auto contacts = platform::ui::ContactsStore().contacts();
        auto loaded = std::make_shared<AddressBookContactFilter>(
            contacts ? AddressBookContactFilter(*contacts) : AddressBookContactFilter());
        platform::foundation::mainQueue().async([weak, loaded, result = std::move(result)] {
            auto self = weak.lock();
            if (!self)
                return;
            self->m_allContacts = std::move(*loaded);
            self->setSearchItems(items(self->m_allContacts->contacts()));
            if (result)
                result(std::nullopt, self->searchItems());
        });
    });
}

void AddressBookSearchViewTableDatasource::search(const std::string& term, SearchResultBlock result)
{
    if (!m_allContacts) {
        result(std::nullopt, std::vector<SearchItem>());
        return;
    }
    if (!searchTerm().empty())
        result(std::nullopt, items(m_allContacts->matching(term)));
    else
        result(std::nullopt, items(m_allContacts->contacts()));
}

SearchItem AddressBookSearchViewTableDatasource::itemForTerm(const std::string& term) const
{
    AddressBookContact contact;
    contact.setEmail(term);
    return contact;
}

std::shared_ptr<platform::ui::TableViewCell> AddressBookSearchViewTableDatasource::resultCell(
    platform::ui::TableView& table, const std::string& term, const SearchItem& item)
{
    const auto& contact = std::get<AddressBookContact>(item);
    if (auto reused = std::dynamic_pointer_cast<AddressBookContactSearchResultsTableCell>(
            table.dequeueReusableCell(AddressBookContactSearchResultsTableCell::kReuseIdentifier))) {
        reused->setSearchTerm(term);
        reused->setContact(contact);
        return reused;
    }
    return AddressBookContactSearchResultsTableCell::make(
        term, contact, *colourScheme()->tableCellColourScheme());
}

}
