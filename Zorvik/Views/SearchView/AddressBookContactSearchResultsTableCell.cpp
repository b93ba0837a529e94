#include "Zorvik/Views/SearchView/AddressBookContactSearchResultsTableCell.h"

#include "Zorvik/Views/Constraints/MatchParentConstraints.h"
#include "Zorvik/Views/SearchView/SearchViewColourScheme.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibRegistry.h"

namespace zorvik {

AddressBookContactSearchResultsTableCell::AddressBookContactSearchResultsTableCell()
    : TableViewCell(platform::ui::TableViewCellStyle::Default, kReuseIdentifier)
{
    declareOutlet("contactNameLabel", m_contactNameLabel);
    declareOutlet("contactEmailLabel", m_contactEmailLabel);
}

std::shared_ptr<AddressBookContactSearchResultsTableCell> AddressBookContactSearchResultsTableCell::make(
    std::string searchTerm, AddressBookContact contact,
    const SearchResultsTableCellColourScheme& colourScheme)
{
    auto cell = std::make_shared<AddressBookContactSearchResultsTableCell>();
    auto content
        = platform::ui::NibRegistry::load("AddressBookContactSearchResultsTableCell", cell.get()).front();
    cell->contentView()->addSubview(content);
    MatchParentConstraints::constrainChildToMatchParent(content, cell->contentView());
    cell->m_searchTerm = std::move(searchTerm);
    cell->setContact(std::move(contact));
    cell->setBackgroundColor(colourScheme.backgroundColour());
    cell->m_contactNameLabel->setTextColor(colourScheme.textColour());
    cell->m_contactEmailLabel->setTextColor(colourScheme.textColour());
    cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
    return cell;
}

std::string AddressBookContactSearchResultsTableCell::displayName(const AddressBookContact& contact)
{
    std::string name;
    for (const auto& part : { contact.firstName(), contact.familyName() }) {
        if (!part || part->empty())
            continue;
        if (!name.empty())
            name += ' ';
        name += *part;
    }
    return name;
}

void AddressBookContactSearchResultsTableCell::setContact(AddressBookContact contact)
{
    m_contact = std::move(contact);
    m_contactNameLabel->setText(displayName(m_contact));
    m_contactEmailLabel->setText(m_contact.email().value_or(""));
}

}
