#include "Zorvik/Views/SearchView/EmptySearchResultsView.h"

#include "Zorvik/Views/SearchView/SearchViewColourScheme.h"
#include "platform/ui/Label.h"

namespace zorvik {

EmptySearchResultsView::EmptySearchResultsView()
{
    declareOutlet("view", m_view);
    declareOutlet("label", m_label);
}

std::shared_ptr<EmptySearchResultsView> EmptySearchResultsView::make(
    const EmptySearchResultsViewColourScheme& colourScheme, const std::string& labelText)
{
    auto view = create<EmptySearchResultsView>();
    view->m_label->setText(labelText);
    view->m_view->setBackgroundColor(colourScheme.backgroundColour());
    view->m_label->setTextColor(colourScheme.textColour());
    return view;
}

}
