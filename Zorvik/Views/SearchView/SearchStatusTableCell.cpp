#include "Zorvik/Views/SearchView/SearchStatusTableCell.h"

#include "Zorvik/Views/Constraints/MatchParentConstraints.h"
#include "Zorvik/Views/SearchView/SearchViewColourScheme.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibRegistry.h"

#include <array>

namespace zorvik {

namespace {

constexpr const char* kSearching = "Searching %@";
constexpr const char* kNoMatch = "No matching %@ found.";
constexpr const char* kFailed = "Could not search %@.";
// Each text of a running search and the one after it.
constexpr std::array<std::pair<const char*, const char*>, 6> kCycle { {
    { kNoMatch, kSearching },
    { kFailed, kSearching },
    { "Searching %@", "Searching %@." },
    { "Searching %@.", "Searching %@.." },
    { "Searching %@..", "Searching %@..." },
    { "Searching %@...", "Searching %@" },
} };

}

SearchStatusTableCell::SearchStatusTableCell(std::string searchStatusResponse)
    : TableViewCell(platform::ui::TableViewCellStyle::Default, kReuseIdentifier)
    , m_searchStatusResponse(std::move(searchStatusResponse))
{
    declareOutlet("searchStatusLabel", m_searchStatusLabel);
}

std::shared_ptr<SearchStatusTableCell> SearchStatusTableCell::make(std::string searchStatusResponse)
{
    auto cell = std::make_shared<SearchStatusTableCell>(std::move(searchStatusResponse));
    cell->setBackgroundColor(platform::ui::Color::clear());
    cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
    cell->m_content = platform::ui::NibRegistry::load("SearchStatusTableCell", cell.get()).front();
    cell->contentView()->addSubview(cell->m_content);
    MatchParentConstraints::constrainChildToMatchParent(cell->m_content, cell->contentView());
    return cell;
}

std::string SearchStatusTableCell::text(const char* format) const
{
    std::string result(format);
    if (auto at = result.find("%@"); at != std::string::npos)
        result.replace(at, 2, m_searchStatusResponse);
    return result;
}

void SearchStatusTableCell::setupInitialTextForLabel()
{
    m_searchStatusLabel->setText(text("Searching %@."));
}

void SearchStatusTableCell::applyColourScheme(const SearchStatusTableCellColourScheme& scheme)
{
    m_content->setBackgroundColor(scheme.backgroundColour());
    m_searchStatusLabel->setTextColor(scheme.textColour());
}

void SearchStatusTableCell::setIsSearching(bool searching)
{
    m_isSearching = searching;
    if (m_searchStatusLabel)
        updateLabelText();
}

void SearchStatusTableCell::updateLabelText()
{
    // The timer goes with the cell and runs nothing after that, so the tick may use `this`.
    m_timer.startWithRepeat(tickInterval, [this] { changeText(); });
}

void SearchStatusTableCell::changeText()
{
    if (!m_isSearching) {
        m_searchStatusLabel->setText(text(m_searchFailed ? kFailed : kNoMatch));
        m_timer.cancel();
        return;
    }
    std::string current = m_searchStatusLabel->text().value_or("");
    for (const auto& [from, to] : kCycle) {
        if (current == text(from)) {
            m_searchStatusLabel->setText(text(to));
            return;
        }
    }
}

}
