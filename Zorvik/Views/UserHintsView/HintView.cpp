#include "Zorvik/Views/UserHintsView/HintView.h"

#include "platform/ui/Animation.h"

namespace zorvik {

void HintView::setHidden(bool hidden)
{
    XibViewObjcmb::setHidden(hidden);
    if (hidden)
        hideHint();
    else
        showHint();
}

bool HintView::isDismissable() const
{
    auto view = visibilityView();
    return !isHidden() && view && platform::ui::Animation::presentationAlpha(*view) == 1;
}

}
