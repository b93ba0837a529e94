#include "Zorvik/Views/PinView/NumericPinButton.h"

#include "Zorvik/Views/PinView/PinKeyboardDelegate.h"
#include "platform/ui/Animation.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

#include <charconv>

namespace zorvik {

using platform::ui::Color;

NumericPinButton::NumericPinButton()
{
    declareOutlet("numericTextLabel", m_numericTextLabel);
    declareOutlet("pressedCircle", m_pressedCircle);
    declareAction("onTouchDownWithButton", [this](platform::ui::View&) { onTouchDownWithButton(); });
    declareAction("onTouchEnterWithButton", [this](platform::ui::View&) { onTouchEnterWithButton(); });
    declareAction("onTouchLeaveWithButton", [this](platform::ui::View&) { onTouchLeaveWithButton(); });
    declareAction("onTouchUpWithButton", [this](platform::ui::View&) { onTouchUpWithButton(); });
}

void NumericPinButton::setNumberWithNumber(std::int64_t number)
{
    numericTextLabel()->setText(std::to_string(number));
}

void NumericPinButton::onTouchDownWithButton()
{
    animateButtonDown();
}

void NumericPinButton::onTouchEnterWithButton()
{
    animateButtonDown();
}

void NumericPinButton::onTouchLeaveWithButton()
{
    animateButtonUp();
}

void NumericPinButton::onTouchUpWithButton()
{
    animateButtonUp();
    tellObserverButtonWasPressed();
}

void NumericPinButton::tellObserverButtonWasPressed()
{
    auto observer = m_observer.lock();
    auto text = numericTextLabel()->text().value_or("");
    std::int64_t number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (observer && error == std::errc() && end == text.data() + text.size() && !text.empty())
        observer->numberPressedWithNumber(number);
}

void NumericPinButton::animateButtonDown()
{
    auto circle = pressedCircle();
    auto label = numericTextLabel();
    platform::ui::Animation::animate(kAnimationDuration, [&] {
        circle->setAlpha(1);
        label->setTextColor(Color::black());
    });
}

void NumericPinButton::animateButtonUp()
{
    auto circle = pressedCircle();
    auto label = numericTextLabel();
    platform::ui::Animation::animate(kAnimationDuration, [&] {
        circle->setAlpha(0);
        label->setTextColor(Color::white());
    });
}

}
