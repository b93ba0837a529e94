#pragma once

#include "platform/ui/PageControl.h"

#include <memory>
#include <string>

namespace platform::ui {
class Image;
class ImageView;
class NibCoder;
}

namespace zorvik {

/// The start screen's page dots, drawn with the app's own pictures: "CarouselIconActive" for the current
/// page, "CarouselIconInactive" for the others; the page control's own tints are clear.
class CarouselPageControl : public platform::ui::PageControl {
public:
    /// A control placed by a nib: the pictures loaded and the tints cleared.
    static std::shared_ptr<platform::ui::View> fromNib(const platform::ui::NibCoder& coder);

    /// A control with the frame and the pictures loaded.
    explicit CarouselPageControl(platform::ui::Rect frame = platform::ui::Rect::zero());

    std::string className() const override { return "CarouselPageControl"; }

    /// Clears both tint colours.
    void awakeFromNib();
    /// Marks the page, then redraws the dots.
    void setCurrentPage(int page) override;
    /// Gives every dot subview, in order, the active picture when it is the current page's, else the
    /// inactive one.
    void updateDots();
    /// The first image view among the view's direct subviews; a view without one gets a new one of its own
    /// size at its origin.
    static std::shared_ptr<platform::ui::ImageView> imageViewForSubview(platform::ui::View& view);

    /// The current page's picture.
    const std::shared_ptr<const platform::ui::Image>& activeImage() const { return m_activeImage; }
    /// The other pages' picture.
    const std::shared_ptr<const platform::ui::Image>& inactiveImage() const { return m_inactiveImage; }

private:
    std::shared_ptr<const platform::ui::Image> m_activeImage;
    std::shared_ptr<const platform::ui::Image> m_inactiveImage;
};

}
