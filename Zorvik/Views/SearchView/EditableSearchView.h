#pragma once

#include "Zorvik/Views/SearchView/SearchView.h"
#include "platform/ui/Color.h"

namespace zorvik {

/// A search view whose bar shows a done button while the field holds text; done hands the typed text itself
/// (a string) to the controller as the picked item. It loads the nib "SearchView".
class EditableSearchView : public SearchView, public EditableSearchViewProtocol {
public:
    /// A search view as SearchView::make() builds it, then restyled by `editingColourScheme` (the bar's
    /// theme), its done button hidden until something is typed.
    static std::shared_ptr<EditableSearchView> make(
        std::shared_ptr<SearchViewTableDatasourceProtocol> datasource,
        std::shared_ptr<SearchViewColourScheme> colourScheme,
        const std::shared_ptr<NavigationBarTheme>& editingColourScheme, std::string searchPrompt,
        std::shared_ptr<ReusableTimerProtocolObjc> timer);

    /// A new bar theme for an editable search over a full-screen background: the forms' editing theme
    /// made clear (background and divider), its title in `titleColour`, "done" on the right and the
    /// picture `backImage` on the back button.
    static std::shared_ptr<NavigationBarTheme> barTheme(
        const platform::ui::Color& titleColour, const std::string& backImage);

    std::string className() const override { return "EditableSearchView"; }
    std::string nib() const override { return "SearchView"; }

    void setNavigationBarTheme(const NavigationBarTheme& theme) override;

    /// The done button: the controller gets the current term, as a string.
    void positivePressed() override;
    bool implementsPositivePressed() const override { return true; }
    /// As SearchView's, then the done button shows exactly while the term is not empty.
    void searchTextChanged() override;
};

}
