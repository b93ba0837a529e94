#include "Zorvik/Views/SearchView/CompanySearchResultsTableCell/CompaniesSearchResultsTableCell.h"

#include "Zorvik/Views/SearchView/SearchViewColourScheme.h"
#include "Zorvik/Views/Styles/ControlStyles.h"
#include "ZorvikAPI/models/Business.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibRegistry.h"

namespace zorvik {

CompaniesSearchResultsTableCell::CompaniesSearchResultsTableCell()
    : TableViewCell(platform::ui::TableViewCellStyle::Default, kReuseIdentifier)
{
    declareOutlet("companyNameLabel", m_companyNameLabel);
    declareOutlet("selectIcon", m_selectIcon);
}

std::shared_ptr<CompaniesSearchResultsTableCell> CompaniesSearchResultsTableCell::make(std::string searchTerm,
    platform::foundation::DictionaryRef company, const SearchResultsTableCellColourScheme& colourScheme)
{
    auto cell = std::make_shared<CompaniesSearchResultsTableCell>();
    auto content = platform::ui::NibRegistry::load("CompaniesSearchResultsTableCell", cell.get()).front();
    cell->contentView()->addSubview(content);
    cell->m_searchTerm = std::move(searchTerm);
    cell->setCompany(std::move(company));
    cell->setBackgroundColor(colourScheme.backgroundColour());
    cell->m_companyNameLabel->setTextColor(colourScheme.textColour());
    cell->m_selectIcon->setImage(colourScheme.disclosureButtonImage());
    cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
    return cell;
}

void CompaniesSearchResultsTableCell::setCompany(platform::foundation::DictionaryRef company)
{
    m_company = std::move(company);
    m_companyNameLabel->setText(m_company ? api::Business(m_company).name().value_or("") : "");
    ControlStyles::endOfStringFont(m_searchTerm, *m_companyNameLabel, "OpenSans-SemiBold");
}

}
