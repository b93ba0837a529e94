#include "Zorvik/Controllers/CompanySummaryControllers/CompanySearchViewTableDatasource.h"

#include "Zorvik/Views/SearchView/CompanySearchResultsTableCell/CompaniesSearchResultsTableCell.h"
#include "Zorvik/Views/SearchView/SearchViewColourScheme.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/repositories/CompaniesHouse.h"
#include "ZorvikAPI/repositories/Repositories.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/MainQueue.h"

namespace zorvik {

using platform::foundation::DictionaryRef;

CompanySearchViewTableDatasource::CompanySearchViewTableDatasource(
    std::shared_ptr<SearchViewColourScheme> colourScheme, std::shared_ptr<platform::ui::View> emptyView)
    : SearchViewTableDatasource(std::move(colourScheme), std::move(emptyView), "companies")
{
}

void CompanySearchViewTableDatasource::fetchAllSearchItems(SearchResultBlock)
{
}

void CompanySearchViewTableDatasource::search(const std::string& term, SearchResultBlock result)
{
    auto companiesHouse = api::Repositories::sharedInstance().companiesHouse();
    if (!companiesHouse) {
        platform::foundation::mainQueue().async([result = std::move(result)] {
            result(platform::http::HttpError(platform::http::HttpError::Code::Other, "No company search"),
                std::nullopt);
        });
        return;
    }
    companiesHouse->searchWithTerm(
        term,
        [result](const platform::foundation::ArrayRef& businesses) {
            std::vector<SearchItem> items;
            for (const auto& business : *businesses) {
                if (auto record = business.dictionary())
                    items.emplace_back(record);
            }
            result(std::nullopt, std::move(items));
        },
        [result](const platform::http::HttpError& error) { result(error, std::nullopt); });
}

SearchItem CompanySearchViewTableDatasource::itemForTerm(const std::string& term) const
{
    return api::Business::withName(term).record();
}

std::shared_ptr<platform::ui::TableViewCell> CompanySearchViewTableDatasource::resultCell(
    platform::ui::TableView& table, const std::string& term, const SearchItem& item)
{
    const auto& company = std::get<DictionaryRef>(item);
    if (auto reused = std::dynamic_pointer_cast<CompaniesSearchResultsTableCell>(
            table.dequeueReusableCell(CompaniesSearchResultsTableCell::kReuseIdentifier))) {
        reused->setSearchTerm(term);
        reused->setCompany(company);
        return reused;
    }
    return CompaniesSearchResultsTableCell::make(term, company, *colourScheme()->tableCellColourScheme());
}

}
