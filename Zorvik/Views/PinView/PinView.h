#pragma once

#include "Zorvik/Models/Pin.h"
#include "Zorvik/Views/NavigationBar/NavigationBarDelegate.h"
#include "Zorvik/Views/PinView/PinKeyboardDelegate.h"
#include "Zorvik/Views/PinView/PinViewProtocol.h"
#include "Zorvik/Views/XibViews/XibViewObjcmb.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform::ui {
class ImageView;
}

namespace zorvik {

class LoadingView;
class NavigationBar;
class PinDotView;
class PinKeyboardView;

/// The view of every PIN screen, laid out by the nib "PinView" ("PinView4" on a 480-point-high screen): the
/// app's navigation bar with a back button, an information area (the screen's prompt, or an error over it),
/// the dots, a spinner in their place while the controller works, and the app's own keypad.
///
/// The pad keeps the digits typed (never more than four, and only in memory) and hands them to its
/// controller every time a digit key is pressed while four are held; there is no confirm key.
class PinView : public XibViewObjcmb,
                public PinViewProtocol,
                public PinKeyboardDelegate,
                public NavigationBarDelegate {
public:
    /// An empty pad; make one with make().
    PinView();

    /// A pad with no digit, no controller and no error, observing its keypad and bar.
    static std::shared_ptr<PinView> make();

    std::string className() const override { return "PinView"; }
    /// Yes, for every nib: short screens get their own layout.
    bool shouldLoadShortIPhoneViewForNib(const std::string& name) const override;

    std::shared_ptr<PinControllerProtocol> controller() const override { return m_controller.lock(); }
    void setController(const std::weak_ptr<PinControllerProtocol>& controller) override
    {
        m_controller = controller;
    }
    /// The first view of the information area, or null.
    std::shared_ptr<platform::ui::View> informationView() const override;
    /// Takes the area's first view away and adds `view` (when given).
    void setInformationView(const std::shared_ptr<platform::ui::View>& view) override;
    void hideBackButton() override;
    /// Takes an earlier error away, hides the information view and adds `error` to the area. clearPin(),
    /// delete and hideBusyView() leave it; the next digit pressed takes it away.
    void showErrorView(const std::shared_ptr<FailedPinAttemptView>& error) override;
    /// Forgets the digits and empties the dots; the information area stays as it is.
    void clearPin() override;
    /// Hides the dots, stops the keypad (digits and delete) taking touches and shows the white spinner
    /// turning. The back button still works.
    void showBusyView() override;
    void hideBusyView() override;

    /// A digit key: takes any error away and shows the information view again, adds the digit (and a dot)
    /// while fewer than four are held, then hands the four digits to the controller when four are held.
    void numberPressedWithNumber(std::int64_t number) override;
    /// The delete key: takes the last digit and dot away, when there is one.
    void deletePressed() override;
    /// The back button: the controller's navigateBack().
    void negativePressed() override;

    /// The digits typed so far.
    const Pin& pin() const { return m_pin; }
    /// The dots.
    std::shared_ptr<PinDotView> pinDots() const { return m_pinDots.lock(); }
    /// The keypad.
    std::shared_ptr<PinKeyboardView> pinKeyboard() const { return m_pinKeyboard.lock(); }
    /// The information area.
    std::shared_ptr<platform::ui::View> infoView() const { return m_infoView.lock(); }
    /// The bar.
    std::shared_ptr<NavigationBar> navigationBar() const { return m_navigationBar.lock(); }
    /// The spinner.
    std::shared_ptr<LoadingView> loadingView() const { return m_loadingView.lock(); }
    /// The error shown last, or null.
    const std::shared_ptr<FailedPinAttemptView>& errorView() const { return m_errorView; }

private:
    Pin m_pin;
    std::weak_ptr<PinControllerProtocol> m_controller;
    std::weak_ptr<PinDotView> m_pinDots;
    std::weak_ptr<PinKeyboardView> m_pinKeyboard;
    std::weak_ptr<platform::ui::View> m_infoView;
    std::weak_ptr<platform::ui::ImageView> m_background;
    std::weak_ptr<NavigationBar> m_navigationBar;
    std::weak_ptr<LoadingView> m_loadingView;
    std::shared_ptr<FailedPinAttemptView> m_errorView;
};

}
