#include "Zorvik/Views/StartSignupView/CarouselPageControl.h"

#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NibRegistry.h"

namespace zorvik {

using platform::ui::ImageView;

std::shared_ptr<platform::ui::View> CarouselPageControl::fromNib(const platform::ui::NibCoder& coder)
{
    auto control = std::make_shared<CarouselPageControl>(coder.frame);
    control->awakeFromNib();
    return control;
}

CarouselPageControl::CarouselPageControl(platform::ui::Rect frame)
    : PageControl(frame)
    , m_activeImage(platform::ui::Image::named("CarouselIconActive"))
    , m_inactiveImage(platform::ui::Image::named("CarouselIconInactive"))
{
}

void CarouselPageControl::awakeFromNib()
{
    setPageIndicatorTintColor(platform::ui::Color::clear());
    setCurrentPageIndicatorTintColor(platform::ui::Color::clear());
}

void CarouselPageControl::setCurrentPage(int page)
{
    PageControl::setCurrentPage(page);
    updateDots();
}

void CarouselPageControl::updateDots()
{
    auto dots = subviews();
    for (std::size_t index = 0; index < dots.size(); ++index)
        imageViewForSubview(*dots[index])
            ->setImage(int(index) == currentPage() ? m_activeImage : m_inactiveImage);
}

std::shared_ptr<ImageView> CarouselPageControl::imageViewForSubview(platform::ui::View& view)
{
    for (const auto& subview : view.subviews()) {
        if (auto image = std::dynamic_pointer_cast<ImageView>(subview))
            return image;
    }
    auto image = std::make_shared<ImageView>(
        platform::ui::Rect { 0, 0, view.frame().width(), view.frame().height() });
    view.addSubview(image);
    return image;
}

}
