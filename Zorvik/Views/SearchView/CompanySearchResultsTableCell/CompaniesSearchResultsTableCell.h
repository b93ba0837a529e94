#pragma once

#include "platform/foundation/Value.h"
#include "platform/ui/NibOwner.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <string>

namespace platform::ui {
class ImageView;
class Label;
}

namespace zorvik {

class SearchResultsTableCellColourScheme;

/// A company found in the register (nib "CompaniesSearchResultsTableCell"): its name, the part of it from
/// where the term matches on in "OpenSans-SemiBold", and the scheme's disclosure picture.
class CompaniesSearchResultsTableCell : public platform::ui::TableViewCell, public platform::ui::NibOwner {
public:
    static constexpr const char* kReuseIdentifier = "CompaniesSearchResultsTableCell";

    /// An empty cell; make one with make().
    CompaniesSearchResultsTableCell();
    /// A cell showing `company` (a business record) found for `searchTerm`, in `colourScheme`.
    static std::shared_ptr<CompaniesSearchResultsTableCell> make(std::string searchTerm,
        platform::foundation::DictionaryRef company, const SearchResultsTableCellColourScheme& colourScheme);

    std::string className() const override { return "CompaniesSearchResultsTableCell"; }

    const std::string& searchTerm() const { return m_searchTerm; }
    /// Keeps the term the next company is shown for.
    void setSearchTerm(std::string term) { m_searchTerm = std::move(term); }
    const platform::foundation::DictionaryRef& company() const { return m_company; }
    /// Shows `company` for the kept term.
    void setCompany(platform::foundation::DictionaryRef company);

    const std::shared_ptr<platform::ui::Label>& companyNameLabel() const { return m_companyNameLabel; }
    const std::shared_ptr<platform::ui::ImageView>& selectIcon() const { return m_selectIcon; }

private:
    std::shared_ptr<platform::ui::Label> m_companyNameLabel;
    std::shared_ptr<platform::ui::ImageView> m_selectIcon;
    std::string m_searchTerm;
    platform::foundation::DictionaryRef m_company;
};

}
