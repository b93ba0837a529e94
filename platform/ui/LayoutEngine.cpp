#include "platform/ui/LayoutEngine.h"

#include "platform/ui/Constraint.h"
#include "platform/ui/LayoutSolver.h"

#include <memory>
#include <vector>

namespace platform::ui {

void LayoutEngine::layoutTree(View& view)
{
    static layout::LayoutSolver shared;
    if (!shared.isBusy()) {
        shared.run(view.rootView());
        return;
    }
    layout::LayoutSolver nested;
    nested.run(view.rootView());
}

void LayoutEngine::viewWillLeaveSuperview(View& view, View& formerSuperview)
{
    for (auto ancestor = formerSuperview.shared_from_this(); ancestor; ancestor = ancestor->superview()) {
        std::vector<std::shared_ptr<Constraint>> dropped;
        for (const auto& constraint : ancestor->constraints()) {
            for (auto item : { constraint->firstItem(), constraint->secondItem() }) {
                if (item && item->isDescendantOf(view)) {
                    dropped.push_back(constraint);
                    break;
                }
            }
        }
        ancestor->removeConstraints(dropped);
    }
}

void LayoutEngine::install()
{
    auto& hooks = View::layoutHooks();
    if (!hooks.layout)
        hooks.layout = [](View& view) { layoutTree(view); };
    if (!hooks.viewWillLeaveSuperview)
        hooks.viewWillLeaveSuperview
            = [](View& view, View& formerSuperview) { viewWillLeaveSuperview(view, formerSuperview); };
}

}
