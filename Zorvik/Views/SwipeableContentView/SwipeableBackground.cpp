#include "Zorvik/Views/SwipeableContentView/SwipeableBackground.h"

#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace zorvik {

platform::ui::Color SwipeableBackground::defaultSwipeColour()
{
    return platform::ui::Color::fromBytes(50, 192, 206);
}

SwipeableBackground::SwipeableBackground()
{
    declareOutlet("swipeColourView", m_swipeColourView);
    declareOutlet("sentImage", m_sentImage);
    declareOutlet("sentLabel", m_sentLabel);
    declareOutlet("paidImage", m_paidImage);
    declareOutlet("paidLabel", m_paidLabel);
}

std::shared_ptr<SwipeableBackground> SwipeableBackground::make(std::optional<platform::ui::Color> swipeColour)
{
    auto background = create<SwipeableBackground>();
    if (swipeColour)
        background->m_swipeColour = *swipeColour;
    background->setDirection(0);
    background->setColourPercentage(0);
    return background;
}

void SwipeableBackground::setDirection(std::int64_t direction)
{
    m_direction = direction;
    bool sent = direction == 0;
    m_sentImage.lock()->setHidden(!sent);
    m_sentLabel.lock()->setHidden(!sent);
    m_paidImage.lock()->setHidden(sent);
    m_paidLabel.lock()->setHidden(sent);
}

double SwipeableBackground::colourPercentage() const
{
    return swipeColourView()->alpha() * 100;
}

void SwipeableBackground::setColourPercentage(double percentage)
{
    swipeColourView()->setAlpha(percentage / 100);
}

}
