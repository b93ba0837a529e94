#include "Zorvik/Controllers/CompanySummaryControllers/SearchViewTableDatasource.h"

#include "Zorvik/Views/SearchView/SearchStatusTableCell.h"
#include "Zorvik/Views/SearchView/SearchTermTableCell/SearchTermTableCell.h"
#include "Zorvik/Views/SearchView/SearchViewColourScheme.h"
#include "platform/foundation/Log.h"

namespace zorvik {

SearchViewTableDatasource::SearchViewTableDatasource(std::shared_ptr<SearchViewColourScheme> colourScheme,
    std::shared_ptr<platform::ui::View> emptyView, std::string statusWord)
    : m_colourScheme(std::move(colourScheme))
    , m_emptyView(std::move(emptyView))
    , m_searchTermTableCell(SearchTermTableCell::make())
    , m_searchStatusTableCell(SearchStatusTableCell::make(std::move(statusWord)))
{
    m_searchStatusTableCell->setupInitialTextForLabel();
    m_searchTermTableCell->applyColourScheme(*m_colourScheme->searchTermColourScheme());
    m_searchStatusTableCell->applyColourScheme(*m_colourScheme->searchStatusColourScheme());
}

void SearchViewTableDatasource::searchTermChanged(const std::string&)
{
    platform::foundation::Log().write(className() + " searchTermChanged:");
}

std::string SearchViewTableDatasource::searchTerm() const
{
    return m_searchTermTableCell->searchTerm();
}

void SearchViewTableDatasource::setSearchTerm(const std::string& term)
{
    setIsSearching(true);
    m_searchTermTableCell->setSearchTerm(term);
}

bool SearchViewTableDatasource::isSearching() const
{
    return m_searchStatusTableCell->isSearching();
}

void SearchViewTableDatasource::setIsSearching(bool searching)
{
    m_searchStatusTableCell->setIsSearching(searching);
}

void SearchViewTableDatasource::setSearchFailed(bool failed)
{
    m_searchStatusTableCell->setSearchFailed(failed);
}

int SearchViewTableDatasource::numberOfRows(platform::ui::TableView&, int)
{
    int rows = 0;
    m_countedWithTerm = !searchTerm().empty();
    if (m_countedWithTerm) {
        m_offset = itemCount() == 0 ? 2 : 1;
        rows = int(itemCount()) + m_offset;
    } else {
        m_offset = 0;
        rows = listsItemsWithoutTerm() ? int(itemCount()) : 0;
    }
    if (m_emptyView)
        m_emptyView->setHidden(rows > 0);
    return rows;
}

std::shared_ptr<platform::ui::TableViewCell> SearchViewTableDatasource::cellForRow(
    platform::ui::TableView& table, const platform::ui::IndexPath& indexPath)
{
    if (m_countedWithTerm && indexPath.row == 0)
        return m_searchTermTableCell;
    if (m_offset == 2 && indexPath.row == 1)
        return m_searchStatusTableCell;
    std::size_t index = std::size_t(indexPath.row - m_offset);
    return resultCell(table, searchTerm(), m_searchItems.value().at(index));
}

std::optional<SearchItem> SearchViewTableDatasource::searchItemAtIndex(int row) const
{
    if (m_countedWithTerm && row == 0)
        return itemForTerm(searchTerm());
    if (row < m_offset || !m_searchItems || std::size_t(row - m_offset) >= m_searchItems->size())
        return std::nullopt;
    return (*m_searchItems)[std::size_t(row - m_offset)];
}

}
