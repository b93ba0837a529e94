#include "Zorvik/Views/ConfirmBusinessView/ConfirmBusinessView.h"

namespace zorvik {

std::shared_ptr<ConfirmBusinessView> ConfirmBusinessView::make(platform::foundation::DictionaryRef business)
{
    return create<ConfirmBusinessView>(platform::ui::Rect::zero(), std::move(business));
}

std::optional<std::string> ConfirmBusinessView::contentNib() const
{
    return std::string("ConfirmBusinessView");
}

}
