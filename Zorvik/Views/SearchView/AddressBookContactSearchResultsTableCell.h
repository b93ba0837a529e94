#pragma once

#include "Zorvik/Models/AddressBookContact.h"
#include "platform/ui/NibOwner.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <string>

namespace platform::ui {
class Label;
}

namespace zorvik {

class SearchResultsTableCellColourScheme;

/// One address of a device contact (nib "AddressBookContactSearchResultsTableCell"): the contact's names
/// above the address. The names present are joined by one space; absent ones show nothing.
class AddressBookContactSearchResultsTableCell : public platform::ui::TableViewCell,
                                                 public platform::ui::NibOwner {
public:
    static constexpr const char* kReuseIdentifier = "AddressBookContactSearchResultsTableCell";

    /// An empty cell; make one with make().
    AddressBookContactSearchResultsTableCell();
    /// A cell showing `contact` found for `searchTerm`, in `colourScheme` (whose disclosure picture is not
    /// used).
    static std::shared_ptr<AddressBookContactSearchResultsTableCell> make(std::string searchTerm,
        AddressBookContact contact, const SearchResultsTableCellColourScheme& colourScheme);

    std::string className() const override { return "AddressBookContactSearchResultsTableCell"; }

    /// The names present, joined by one space ("" without any).
    static std::string displayName(const AddressBookContact& contact);

    const std::string& searchTerm() const { return m_searchTerm; }
    void setSearchTerm(std::string term) { m_searchTerm = std::move(term); }
    const AddressBookContact& contact() const { return m_contact; }
    /// Shows `contact`.
    void setContact(AddressBookContact contact);

    const std::shared_ptr<platform::ui::Label>& contactNameLabel() const { return m_contactNameLabel; }
    const std::shared_ptr<platform::ui::Label>& contactEmailLabel() const { return m_contactEmailLabel; }

private:
    std::shared_ptr<platform::ui::Label> m_contactNameLabel;
    std::shared_ptr<platform::ui::Label> m_contactEmailLabel;
    std::string m_searchTerm;
    AddressBookContact m_contact;
};

}
