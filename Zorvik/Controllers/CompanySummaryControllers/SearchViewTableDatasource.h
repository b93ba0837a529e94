#pragma once

#include "Zorvik/Views/SearchView/SearchViewTableDatasourceProtocol.h"

#include <memory>
#include <string>

namespace zorvik {

class SearchStatusTableCell;
class SearchTermTableCell;
class SearchViewColourScheme;

/// What the search screen's sources share: the items, the one typed-term row and the one status row (both
/// made with the source and reused for every reload), and the row layout.
///
/// Rows, read each time the table counts them: with a term, the typed-term row, then the status row when
/// there are no items, else one row per item; with an empty term, one row per item where the source lists
/// items without a term, else none. What the table last counted is what a picked row stands for, so a pick
/// always means the row the user saw.
class SearchViewTableDatasource : public SearchViewTableDatasourceProtocol {
public:
    /// Uses `colourScheme` for the rows and `emptyView` behind an empty table; the status row names what is
    /// searched with `statusWord`.
    SearchViewTableDatasource(std::shared_ptr<SearchViewColourScheme> colourScheme,
        std::shared_ptr<platform::ui::View> emptyView, std::string statusWord);

    /// Writes "<class> searchTermChanged:" to the log.
    void searchTermChanged(const std::string& term) override;
    std::optional<SearchItem> searchItemAtIndex(int row) const override;

    const SearchItems& searchItems() const override { return m_searchItems; }
    void setSearchItems(SearchItems items) override { m_searchItems = std::move(items); }
    std::string searchTerm() const override;
    void setSearchTerm(const std::string& term) override;
    const std::shared_ptr<platform::ui::View>& emptyView() const override { return m_emptyView; }
    void setEmptyView(std::shared_ptr<platform::ui::View> view) override { m_emptyView = std::move(view); }
    bool isSearching() const override;
    void setIsSearching(bool searching) override;
    void setSearchFailed(bool failed) override;

    /// The rows (see the class comment); shows the empty view exactly when there are none.
    int numberOfRows(platform::ui::TableView& table, int section) override;
    std::shared_ptr<platform::ui::TableViewCell> cellForRow(
        platform::ui::TableView& table, const platform::ui::IndexPath& indexPath) override;

    const std::shared_ptr<SearchViewColourScheme>& colourScheme() const { return m_colourScheme; }
    const std::shared_ptr<SearchTermTableCell>& searchTermTableCell() const { return m_searchTermTableCell; }
    const std::shared_ptr<SearchStatusTableCell>& searchStatusTableCell() const
    {
        return m_searchStatusTableCell;
    }
    /// The number of rows before the results, as the table last counted them.
    int offset() const { return m_offset; }

protected:
    /// The class name, for the log.
    virtual std::string className() const = 0;
    /// The item the typed-term row stands for.
    virtual SearchItem itemForTerm(const std::string& term) const = 0;
    /// A row showing `item` found for `term`.
    virtual std::shared_ptr<platform::ui::TableViewCell> resultCell(
        platform::ui::TableView& table, const std::string& term, const SearchItem& item)
        = 0;
    /// Whether the items show as rows while the term is empty.
    virtual bool listsItemsWithoutTerm() const = 0;

private:
    std::size_t itemCount() const { return m_searchItems ? m_searchItems->size() : 0; }

    SearchItems m_searchItems;
    std::shared_ptr<SearchViewColourScheme> m_colourScheme;
    std::shared_ptr<platform::ui::View> m_emptyView;
    std::shared_ptr<SearchTermTableCell> m_searchTermTableCell;
    std::shared_ptr<SearchStatusTableCell> m_searchStatusTableCell;
    int m_offset { 0 };
    // Whether the rows were counted with a term (an empty term may show items without the typed-term row).
    bool m_countedWithTerm { false };
};

}
