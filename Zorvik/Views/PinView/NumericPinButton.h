#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform::ui {
class ImageView;
class Label;
}

namespace zorvik {

class NumericButtonDelegate;

/// One digit key of the PIN keypad, laid out by the nib "NumericPinButton": a button holding the digit and
/// a pressed-circle highlight. While a finger is down the circle shows and the digit turns black; on release
/// both go back over 0.1 s and the key reports the digit it shows.
class NumericPinButton : public XibViewObjcmb {
public:
    /// How long the press and release animations take, in seconds.
    static constexpr double kAnimationDuration { 0.1 };

    /// An empty key; the keypad's nib places keys.
    NumericPinButton();

    std::string className() const override { return "NumericPinButton"; }

    /// Told of presses, held weakly.
    void setObserver(const std::weak_ptr<NumericButtonDelegate>& observer) { m_observer = observer; }
    /// Shows `number` as the key's digit.
    void setNumberWithNumber(std::int64_t number);

    /// A finger came down on the key: the press animation.
    void onTouchDownWithButton();
    /// A finger slid back onto the key: the press animation.
    void onTouchEnterWithButton();
    /// A finger slid off the key: the release animation, nothing reported.
    void onTouchLeaveWithButton();
    /// A finger lifted on the key: the release animation, then the digit is reported at once.
    void onTouchUpWithButton();

    /// Reports the digit read back from the label to the observer; a label without a number reports nothing.
    void tellObserverButtonWasPressed();

    /// The digit's label.
    std::shared_ptr<platform::ui::Label> numericTextLabel() const { return m_numericTextLabel.lock(); }
    /// The highlight shown while pressed.
    std::shared_ptr<platform::ui::ImageView> pressedCircle() const { return m_pressedCircle.lock(); }

private:
    void animateButtonDown();
    void animateButtonUp();

    std::weak_ptr<NumericButtonDelegate> m_observer;
    std::weak_ptr<platform::ui::Label> m_numericTextLabel;
    std::weak_ptr<platform::ui::ImageView> m_pressedCircle;
};

}
