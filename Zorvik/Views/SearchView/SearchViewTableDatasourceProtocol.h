#pragma once

#include "Zorvik/Views/SearchView/SearchItem.h"
#include "platform/http/HttpError.h"
#include "platform/ui/TableView.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zorvik {

/// A search's items: none yet (or after a failure) is nullopt, which the rows treat as an empty list.
using SearchItems = std::optional<std::vector<SearchItem>>;
/// A search's answer: no error and the items, or an error and no items. Runs on the main queue.
using SearchResultBlock
    = std::function<void(const std::optional<platform::http::HttpError>& error, const SearchItems& items)>;

/// What a search view asks of the source behind its table: it searches, keeps the items, and answers the
/// table with a typed-term row, a status row and the result rows.
///
/// Rows: with a term and no items, the typed-term row and the status row; with a term and items, the
/// typed-term row and one row per item; with an empty term, what each source says. The status row is not
/// an item: searchItemAtIndex() answers nothing for it.
class SearchViewTableDatasourceProtocol : public platform::ui::TableViewDataSource {
public:
    /// Loads every item there is (a source that only searches by term never calls `result`).
    virtual void fetchAllSearchItems(SearchResultBlock result) = 0;
    /// Searches for `term`; `result` gets the answer once.
    virtual void search(const std::string& term, SearchResultBlock result) = 0;
    /// Never sent by the view; the sources only log it.
    virtual void searchTermChanged(const std::string& term) = 0;
    /// The item a row stands for: row 0 with a term is a new item made from the term, a result row its
    /// item; nothing for the status row or a row that does not exist.
    virtual std::optional<SearchItem> searchItemAtIndex(int row) const = 0;

    /// The items of the last answer.
    virtual const SearchItems& searchItems() const = 0;
    /// Keeps the items of an answer.
    virtual void setSearchItems(SearchItems items) = 0;
    /// The term, as the typed-term row shows it.
    virtual std::string searchTerm() const = 0;
    /// A search for `term` begins: the source is searching and the typed-term row shows the term.
    virtual void setSearchTerm(const std::string& term) = 0;
    /// The view shown behind the table while it has no rows.
    virtual const std::shared_ptr<platform::ui::View>& emptyView() const = 0;
    /// Replaces the view shown behind an empty table.
    virtual void setEmptyView(std::shared_ptr<platform::ui::View> view) = 0;
    /// Whether a search is under way (the status row cycles its "Searching" text meanwhile).
    virtual bool isSearching() const = 0;
    /// Marks a search as under way or over.
    virtual void setIsSearching(bool searching) = 0;
    /// Whether the last search failed (the status row then says it could not search).
    virtual void setSearchFailed(bool failed) = 0;
};

}
