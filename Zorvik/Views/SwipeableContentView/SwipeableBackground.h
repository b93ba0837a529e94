#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"
#include "platform/ui/Color.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace platform::ui {
class ImageView;
class Label;
}

namespace zorvik {

/// What shows behind a row as it is swiped aside: a coloured view whose opacity follows the swipe, and the
/// "sent" pair (image and label) or the "paid" pair, by the direction of the swipe. Laid out by the nib
/// "SwipeableBackground"; made in code only, with make().
class SwipeableBackground : public XibViewObjcmb {
public:
    /// The swipe colour of a background made without one: red 50, green 192, blue 206.
    static platform::ui::Color defaultSwipeColour();

    SwipeableBackground();

    /// A background with `swipeColour` (the default colour when nullopt), its colour view transparent.
    static std::shared_ptr<SwipeableBackground> make(std::optional<platform::ui::Color> swipeColour);

    std::string className() const override { return "SwipeableBackground"; }

    /// The colour given at creation. The colour view keeps the colour its nib gives it.
    const platform::ui::Color& swipeColour() const { return m_swipeColour; }

    /// 0 while the row moves right (the sent pair shows), any other value while it moves left (the paid
    /// pair shows).
    std::int64_t direction() const { return m_direction; }
    /// Shows the sent pair for 0, else the paid pair.
    void setDirection(std::int64_t direction);

    /// The colour view's opacity in percent.
    double colourPercentage() const;
    /// Sets the colour view's opacity to `percentage` / 100 (values beyond 100 show fully opaque).
    void setColourPercentage(double percentage);

    /// The coloured view whose opacity follows the swipe.
    std::shared_ptr<platform::ui::View> swipeColourView() const { return m_swipeColourView.lock(); }

private:
    platform::ui::Color m_swipeColour { defaultSwipeColour() };
    std::int64_t m_direction { 0 };
    std::weak_ptr<platform::ui::View> m_swipeColourView;
    std::weak_ptr<platform::ui::ImageView> m_sentImage;
    std::weak_ptr<platform::ui::Label> m_sentLabel;
    std::weak_ptr<platform::ui::ImageView> m_paidImage;
    std::weak_ptr<platform::ui::Label> m_paidLabel;
};

}
