#pragma once

#include "Zorvik/Views/PinView/PinKeyboardDelegate.h"
#include "Zorvik/Views/XibViews/XibViewObjcmb.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace zorvik {

class NumericPinButton;

/// The PIN pad's keypad, laid out by the nib "PinKeyboardView": the digit keys 1 to 9 and 0 and a delete key
/// (accessibility label "Delete"). Only nibs place it; it passes presses on to its observer.
class PinKeyboardView : public XibViewObjcmb, public NumericButtonDelegate {
public:
    /// The delete key's accessibility label.
    static constexpr const char* kDeleteLabel { "Delete" };

    /// An empty keypad; nibs place it with fromNib<PinKeyboardView>().
    PinKeyboardView();

    std::string className() const override { return "PinKeyboardView"; }

    /// Told of presses, held weakly.
    void setObserver(const std::weak_ptr<PinKeyboardDelegate>& observer) { m_observer = observer; }

    /// A key reported its digit: passed on to the observer.
    void numberPressedWithNumber(std::int64_t number) override;
    /// The delete key's action: passed on to the observer.
    void deletePressedWithSender();

    /// The key of `digit` (0 to 9).
    std::shared_ptr<NumericPinButton> key(int digit) const;

protected:
    /// Loads the nib, then gives the keys their digits and makes itself their observer.
    void construct() override;

private:
    std::weak_ptr<PinKeyboardDelegate> m_observer;
    std::array<std::weak_ptr<NumericPinButton>, 10> m_numbers;
};

}
