#include "Zorvik/Views/SearchView/SearchTermTableCell/SearchTermTableCell.h"

#include "Zorvik/Views/SearchView/SearchViewColourScheme.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibRegistry.h"

namespace zorvik {

SearchTermTableCell::SearchTermTableCell()
    : TableViewCell(platform::ui::TableViewCellStyle::Default, kReuseIdentifier)
{
    declareOutlet("searchTermLabel", m_searchTermLabel);
    declareOutlet("image", m_image);
    declareOutlet("arrowImageView", m_arrowImageView);
}

std::shared_ptr<SearchTermTableCell> SearchTermTableCell::make()
{
    auto cell = std::make_shared<SearchTermTableCell>();
    cell->setBackgroundColor(platform::ui::Color::clear());
    auto content = platform::ui::NibRegistry::load("SearchTermTableCell", cell.get()).front();
    cell->contentView()->addSubview(content);
    return cell;
}

void SearchTermTableCell::applyColourScheme(const SearchTermTableCellColourScheme& scheme)
{
    setBackgroundColor(scheme.backgroundColour());
    m_searchTermLabel->setTextColor(scheme.textColour());
    m_image->setImage(scheme.addPersonImage());
    // The term also shows in the search field: the picture's name is what tells the row apart.
    m_image->setAccessibilityLabel(scheme.addPersonImage() ? scheme.addPersonImage()->name() : "");
    m_arrowImageView->setImage(scheme.arrow());
    m_arrowImageView->setHidden(!scheme.arrow());
}

std::string SearchTermTableCell::searchTerm() const
{
    return m_searchTermLabel->text().value_or("");
}

void SearchTermTableCell::setSearchTerm(const std::string& term)
{
    m_searchTermLabel->setText(term);
}

}
