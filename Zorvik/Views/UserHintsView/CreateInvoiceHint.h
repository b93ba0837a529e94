#pragma once

#include "Zorvik/Views/UserHintsView/HintView.h"

#include <memory>

namespace platform::ui {
class ImageView;
class Label;
}

namespace zorvik {

/// The hint that points at the create-invoice button: 2 s after it is shown, a ring grows over the button
/// (0.5 s, to 1.05), settles (0.2 s) and the explanation fades in. Laid out by the nib "CreateInvoiceHint".
class CreateInvoiceHint : public HintView {
public:
    /// Seconds before the hint starts to show.
    static constexpr double kShowDelay = 2.0;

    CreateInvoiceHint();

    std::string className() const override { return "CreateInvoiceHint"; }

    /// Notes whether it is hiding (a pending show then does nothing), then hides or shows.
    void setHidden(bool hidden) override;
    void showHint() override;
    void hideHint() override;
    /// The explanation.
    std::shared_ptr<platform::ui::View> visibilityView() const override;

    std::shared_ptr<platform::ui::ImageView> buttonHint() const { return m_buttonHint.lock(); }
    std::shared_ptr<platform::ui::Label> tutorialDescription() const { return m_tutorialDescription.lock(); }

protected:
    void construct() override;

private:
    std::weak_ptr<platform::ui::ImageView> m_buttonHint;
    std::weak_ptr<platform::ui::Label> m_tutorialDescription;
    bool m_isHiding { false };
};

}
