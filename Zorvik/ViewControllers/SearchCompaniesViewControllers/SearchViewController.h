#pragma once

#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace zorvik {

class SearchViewProtocol;

/// The base of the search screens. Shortly after the screen appears (2 ms later, on the main queue) it
/// focuses the search field of the search view it shows, so that the keyboard is up typing into the field
/// whatever the arrival did with the focus.
class SearchViewController : public platform::ui::ViewController {
public:
    /// The delay between the screen's appearance and the focus, in seconds.
    static constexpr double focusDelay = 0.002;

    std::string className() const override { return "SearchViewController"; }

    /// Schedules the focus (the screen is held weakly meanwhile).
    void viewDidAppear(bool animated) override;
    /// Focuses the search field when the search view is on screen; true when it took the focus.
    bool becomeFirstResponder();

    /// The search view of the screen, or null (the base has none).
    virtual std::shared_ptr<SearchViewProtocol> searchView() const { return nullptr; }
};

}
