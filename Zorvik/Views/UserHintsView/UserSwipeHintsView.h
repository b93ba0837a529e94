#pragma once

#include "Zorvik/Views/UserHintsView/HintView.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform::ui {
class ImageView;
class Label;
}

namespace zorvik {

/// The hint that teaches the swipe: an arrow and a text that fade in 2 s after the hint is shown (0.5 s)
/// and fade out 2 s after it is hidden. Laid out by the nib "UserSwipeHintsView".
class UserSwipeHintsView : public HintView {
public:
    /// Seconds before the hint starts to fade in or out.
    static constexpr double kFadeDelay = 2.0;

    UserSwipeHintsView();

    std::string className() const override { return "UserSwipeHintsView"; }

    void showHint() override;
    void hideHint() override;
    /// The whole hint.
    std::shared_ptr<platform::ui::View> visibilityView() const override;

    /// 1 when the arrow points right, else 0.
    std::int64_t icon() const;
    /// 1 points the arrow right; anything else left.
    void setIcon(std::int64_t icon);
    /// The hint's text.
    std::string text() const;
    void setText(const std::string& text);

    std::shared_ptr<platform::ui::View> hintView() const { return m_hintView.lock(); }

protected:
    void construct() override;

private:
    void fadeAfterDelay(double alpha);

    std::weak_ptr<platform::ui::View> m_hintView;
    std::weak_ptr<platform::ui::ImageView> m_swipeIconLeft;
    std::weak_ptr<platform::ui::ImageView> m_swipeIconRight;
    std::weak_ptr<platform::ui::Label> m_swipeIndicationText;
};

}
