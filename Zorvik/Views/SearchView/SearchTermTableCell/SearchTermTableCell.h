#pragma once

#include "platform/ui/NibOwner.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <string>

namespace platform::ui {
class ImageView;
class Label;
}

namespace zorvik {

class SearchTermTableCellColourScheme;

/// The first row of a search with a term: the typed term beside an "add" picture and, in some schemes, an
/// arrow (nib "SearchTermTableCell"). Picking it takes the term itself. The add picture reads as its image's
/// name ("AddPersonBlack"), so a script can tell the row from the search field showing the same term.
class SearchTermTableCell : public platform::ui::TableViewCell, public platform::ui::NibOwner {
public:
    static constexpr const char* kReuseIdentifier = "SearchTermTableCell";

    /// An empty cell; make one with make().
    SearchTermTableCell();
    /// A cell with a clear background and its nib's content, showing no term.
    static std::shared_ptr<SearchTermTableCell> make();

    std::string className() const override { return "SearchTermTableCell"; }

    /// Background, text colour, the add picture and the arrow (none hides it).
    void applyColourScheme(const SearchTermTableCellColourScheme& scheme);

    /// The term shown ("" when none).
    std::string searchTerm() const;
    /// Shows `term`.
    void setSearchTerm(const std::string& term);

    const std::shared_ptr<platform::ui::Label>& searchTermLabel() const { return m_searchTermLabel; }
    const std::shared_ptr<platform::ui::ImageView>& image() const { return m_image; }
    const std::shared_ptr<platform::ui::ImageView>& arrowImageView() const { return m_arrowImageView; }

private:
    std::shared_ptr<platform::ui::Label> m_searchTermLabel;
    std::shared_ptr<platform::ui::ImageView> m_image;
    std::shared_ptr<platform::ui::ImageView> m_arrowImageView;
};

}
