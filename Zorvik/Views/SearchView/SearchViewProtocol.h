#pragma once

#include "Zorvik/Views/SearchView/SearchViewTableDatasourceProtocol.h"

#include <memory>
#include <string>

namespace zorvik {

class NavigationBarTheme;
class SearchControllerProtocol;

/// What the search screens hold their search view as.
class SearchViewProtocol {
public:
    virtual ~SearchViewProtocol() = default;

    /// Shows the spinner, turning.
    virtual void showLoadingView() = 0;
    /// Stops and hides the spinner.
    virtual void hideLoadingView() = 0;
    /// Asks the source for every item (see SearchView::fetchAllSearchItems()).
    virtual void fetchAllSearchItems() = 0;
    /// Searches for the current term 0.3 s from now, unless the term changes first.
    virtual void search() = 0;
    /// Reads the rows again.
    virtual void reloadTable() = 0;

    /// The controller told of the user's choices, or null.
    virtual std::shared_ptr<SearchControllerProtocol> controller() const = 0;
    /// Sets the controller, held weakly.
    virtual void setController(const std::weak_ptr<SearchControllerProtocol>& controller) = 0;
    /// The source's items.
    virtual const SearchItems& searchItems() const = 0;
    /// Hands an answer's items to the source and shows them.
    virtual void setSearchItems(SearchItems items) = 0;
    /// The bar's title, or "" without one.
    virtual std::string title() const = 0;
    /// Sets the bar's title.
    virtual void setTitle(const std::string& title) = 0;
    /// The current term.
    virtual const std::string& searchTerm() const = 0;
    /// Puts `term` in the search field and searches for it.
    virtual void setSearchTerm(const std::string& term) = 0;
    /// Focuses the search field, when the view is in a window (true when it is focused).
    virtual bool focusSearchField() = 0;
};

/// What an editable search view adds: its bar's done button takes the typed text as the answer.
class EditableSearchViewProtocol {
public:
    virtual ~EditableSearchViewProtocol() = default;

    /// Restyles the bar with `theme`.
    virtual void setNavigationBarTheme(const NavigationBarTheme& theme) = 0;
};

}
