#include "Zorvik/Views/PinView/PinDotView.h"

#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"

#include <algorithm>

namespace zorvik {

PinDotView::PinDotView()
{
    declareOutlet("dotsImageView", m_dotsImageView);
}

std::shared_ptr<PinDotView> PinDotView::make()
{
    return create<PinDotView>();
}

void PinDotView::addDot()
{
    showDots(m_dotCount + 1);
}

void PinDotView::removeDot()
{
    showDots(m_dotCount - 1);
}

void PinDotView::clear()
{
    showDots(0);
}

void PinDotView::showDots(int count)
{
    m_dotCount = std::clamp(count, 0, kMaxDots);
    dotsImageView()->setImage(platform::ui::Image::named(m_imagePaths[std::size_t(m_dotCount)]));
}

}
