#pragma once

#include "Zorvik/Models/ReusableTimerObjc.h"
#include "platform/ui/NibOwner.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <string>

namespace platform::ui {
class Label;
}

namespace zorvik {

class SearchStatusTableCellColourScheme;

/// The second row of a search whose term found nothing (nib "SearchStatusTableCell"). While a search runs
/// its text cycles every 0.3 s through "Searching <word>", "Searching <word>.", "..", "..." (the word names
/// what is searched: "companies", "contacts"); once none runs it reads "No matching <word> found.", or
/// "Could not search <word>." when the search failed. The text changes only on the timer's ticks, so a
/// change shows at most 0.3 s later.
///
/// The timer ticks from a change of the searching flag until the text has settled on the outcome; it holds
/// the cell only weakly and goes with it, so a released cell never ticks again.
class SearchStatusTableCell : public platform::ui::TableViewCell, public platform::ui::NibOwner {
public:
    static constexpr const char* kReuseIdentifier = "SearchStatusTableCell";
    /// The time between two texts, in seconds.
    static constexpr double tickInterval = 0.3;

    /// An empty cell for the word; make one with make().
    explicit SearchStatusTableCell(std::string searchStatusResponse = {});
    /// A cell with a clear background, its nib's content filling it, for `searchStatusResponse`.
    static std::shared_ptr<SearchStatusTableCell> make(std::string searchStatusResponse);

    std::string className() const override { return "SearchStatusTableCell"; }

    /// Shows "Searching <word>.".
    void setupInitialTextForLabel();
    /// The content's background and the label's colour.
    void applyColourScheme(const SearchStatusTableCellColourScheme& scheme);

    bool isSearching() const { return m_isSearching; }
    /// Marks a search as under way or over, and starts the ticks again.
    void setIsSearching(bool searching);
    bool searchFailed() const { return m_searchFailed; }
    /// Marks the last search as failed or not; shown from the next tick.
    void setSearchFailed(bool failed) { m_searchFailed = failed; }
    /// Starts ticking every 0.3 s (again, from now).
    void updateLabelText();
    /// One tick: the next text of the cycle while searching, the outcome once not.
    void changeText();

    const std::string& searchStatusResponse() const { return m_searchStatusResponse; }
    const std::shared_ptr<platform::ui::Label>& searchStatusLabel() const { return m_searchStatusLabel; }
    const ReusableTimerObjc& timer() const { return m_timer; }

private:
    std::string text(const char* format) const;

    std::string m_searchStatusResponse;
    bool m_isSearching { false };
    bool m_searchFailed { false };
    std::shared_ptr<platform::ui::Label> m_searchStatusLabel;
    std::shared_ptr<platform::ui::View> m_content;
    ReusableTimerObjc m_timer;
};

}
