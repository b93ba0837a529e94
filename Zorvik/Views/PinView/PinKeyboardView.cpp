#include "Zorvik/Views/PinView/PinKeyboardView.h"

#include "Zorvik/Views/PinView/NumericPinButton.h"

namespace zorvik {

PinKeyboardView::PinKeyboardView()
{
    for (int digit = 0; digit < 10; ++digit)
        declareOutlet("number" + std::to_string(digit), m_numbers[std::size_t(digit)]);
    declareAction("deletePressedWithSender", [this](platform::ui::View&) { deletePressedWithSender(); });
}

void PinKeyboardView::construct()
{
    XibViewObjcmb::construct();
    auto self = std::dynamic_pointer_cast<PinKeyboardView>(shared_from_this());
    for (int digit : { 1, 2, 3, 4, 5, 6, 7, 8, 9, 0 }) {
        auto button = key(digit);
        button->setNumberWithNumber(digit);
        button->setObserver(self);
    }
}

void PinKeyboardView::numberPressedWithNumber(std::int64_t number)
{
    if (auto observer = m_observer.lock())
        observer->numberPressedWithNumber(number);
}

void PinKeyboardView::deletePressedWithSender()
{
    if (auto observer = m_observer.lock())
        observer->deletePressed();
}

std::shared_ptr<NumericPinButton> PinKeyboardView::key(int digit) const
{
    return m_numbers.at(std::size_t(digit)).lock();
}

}
