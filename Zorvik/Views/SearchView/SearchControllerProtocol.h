#pragma once

#include "Zorvik/Views/SearchView/SearchItem.h"

namespace zorvik {

/// The screen behind a search view: told what the user picked, and when the user goes back.
class SearchControllerProtocol {
public:
    virtual ~SearchControllerProtocol() = default;

    /// The bar's back button was pressed.
    virtual void navigateBack() = 0;
    /// The user picked `item`: the typed text, a business record or a contact address (see SearchItem).
    virtual void searchItemSelected(const SearchItem& item) = 0;
};

}
