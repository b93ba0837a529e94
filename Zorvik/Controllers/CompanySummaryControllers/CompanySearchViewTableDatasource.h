#pragma once

#include "Zorvik/Controllers/CompanySummaryControllers/SearchViewTableDatasource.h"

namespace zorvik {

/// The search screen's source over the public company register, asked through the API library's company
/// search (Repositories' companiesHouse). Its items are business records, in the order the register sent
/// them; the typed-term row stands for a new business record holding only the term as its name. The
/// register is only searched by term: with an empty term the table has no rows.
class CompanySearchViewTableDatasource : public SearchViewTableDatasource {
public:
    /// A source dressed in `colourScheme`, with `emptyView` behind an empty table; its status row speaks of
    /// "companies".
    CompanySearchViewTableDatasource(
        std::shared_ptr<SearchViewColourScheme> colourScheme, std::shared_ptr<platform::ui::View> emptyView);

    /// Does nothing and never answers: the register has no list of everything.
    void fetchAllSearchItems(SearchResultBlock result) override;
    /// Asks the register for `term` (as it is, an empty term too); `result` gets the business records, or
    /// the error (a failure of the register's server, a 404 included, or no company search at all).
    void search(const std::string& term, SearchResultBlock result) override;

protected:
    std::string className() const override { return "CompanySearchViewTableDatasource"; }
    SearchItem itemForTerm(const std::string& term) const override;
    std::shared_ptr<platform::ui::TableViewCell> resultCell(
        platform::ui::TableView& table, const std::string& term, const SearchItem& item) override;
    bool listsItemsWithoutTerm() const override { return false; }
};

}
