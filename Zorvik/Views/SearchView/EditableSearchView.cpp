#include "Zorvik/Views/SearchView/EditableSearchView.h"

#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/NavigationBar/NavigationBarTheme.h"
#include "Zorvik/Views/NavigationBarModes/NavigationBarModeEditObjc.h"
#include "Zorvik/Views/SearchView/SearchControllerProtocol.h"
#include "platform/ui/Image.h"

namespace zorvik {

std::shared_ptr<NavigationBarTheme> EditableSearchView::barTheme(
    const platform::ui::Color& titleColour, const std::string& backImage)
{
    auto theme = NavigationBarModeEditObjc::defaultEditingTheme();
    theme->setBackgroundColour(platform::ui::Color::clear());
    theme->setDividerColour(platform::ui::Color::clear());
    theme->setTitleColour(titleColour);
    theme->setPositiveText(platform::ui::AttributedString("done"));
    theme->setBackImage(platform::ui::Image::named(backImage));
    return theme;
}

std::shared_ptr<EditableSearchView> EditableSearchView::make(
    std::shared_ptr<SearchViewTableDatasourceProtocol> datasource,
    std::shared_ptr<SearchViewColourScheme> colourScheme,
    const std::shared_ptr<NavigationBarTheme>& editingColourScheme, std::string searchPrompt,
    std::shared_ptr<ReusableTimerProtocolObjc> timer)
{
    auto view = create<EditableSearchView>();
    view->initialise(std::move(datasource), colourScheme, std::move(searchPrompt), std::move(timer));
    view->setNavigationBarTheme(*editingColourScheme);
    view->navigationBar()->setPositiveButtonHidden(true);
    return view;
}

void EditableSearchView::setNavigationBarTheme(const NavigationBarTheme& theme)
{
    theme.apply(*navigationBar());
}

void EditableSearchView::positivePressed()
{
    auto self = shared_from_this();
    if (auto listener = controller())
        listener->searchItemSelected(searchTerm());
}

void EditableSearchView::searchTextChanged()
{
    SearchView::searchTextChanged();
    navigationBar()->setPositiveButtonHidden(searchTerm().empty());
}

}
