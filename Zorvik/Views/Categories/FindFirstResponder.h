#pragma once

#include <memory>

namespace platform::ui {
class View;
}

namespace zorvik {

/// Finds the view that is editing below a view.
class FindFirstResponder {
public:
    /// The view itself when it is the first responder, else the first one found below it, depth first in
    /// subview order; null when nothing below is the first responder.
    static std::shared_ptr<platform::ui::View> firstResponder(platform::ui::View& view);
    /// Makes the first responder below the view resign; nothing happens when there is none.
    static void resignCurrentResponder(platform::ui::View& view);
};

}
