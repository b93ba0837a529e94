#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"

#include <memory>
#include <string>

namespace platform::ui {
class Label;
}

namespace zorvik {

class EmptySearchResultsViewColourScheme;

/// What a search screen shows behind its table while the table has no rows: one line saying what will be
/// searched (nib "EmptySearchResultsView").
class EmptySearchResultsView : public XibViewObjcmb {
public:
    /// An empty view; make one with make().
    EmptySearchResultsView();
    /// A view of its nib's size reading `labelText` in `colourScheme`.
    static std::shared_ptr<EmptySearchResultsView> make(
        const EmptySearchResultsViewColourScheme& colourScheme, const std::string& labelText);

    std::string className() const override { return "EmptySearchResultsView"; }

    const std::shared_ptr<platform::ui::View>& view() const { return m_view; }
    const std::shared_ptr<platform::ui::Label>& label() const { return m_label; }

private:
    std::shared_ptr<platform::ui::View> m_view;
    std::shared_ptr<platform::ui::Label> m_label;
};

}
