#pragma once

#include "Zorvik/Views/ConfirmBusinessView/SignupBusinessView.h"

#include <memory>
#include <optional>
#include <string>

namespace zorvik {

/// The confirmation of a business the company register does not vouch for (content nib
/// "ConfirmBusinessView"): its name in the header, a line asking the user to check it, and the confirm
/// button.
class ConfirmBusinessView : public SignupBusinessView {
public:
    using SignupBusinessView::SignupBusinessView;

    /// The view for `business`, built from its nibs.
    static std::shared_ptr<ConfirmBusinessView> make(platform::foundation::DictionaryRef business);

    std::string className() const override { return "ConfirmBusinessView"; }
    /// "ConfirmBusinessView".
    std::optional<std::string> contentNib() const override;
};

}
