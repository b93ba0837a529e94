#include "Zorvik/Views/Categories/FindFirstResponder.h"

#include "platform/ui/View.h"

namespace zorvik {

std::shared_ptr<platform::ui::View> FindFirstResponder::firstResponder(platform::ui::View& view)
{
    if (view.isFirstResponder())
        return view.shared_from_this();
    for (const auto& subview : view.subviews()) {
        if (auto found = firstResponder(*subview))
            return found;
    }
    return nullptr;
}

void FindFirstResponder::resignCurrentResponder(platform::ui::View& view)
{
    if (auto responder = firstResponder(view))
        responder->resignFirstResponder();
}

}
