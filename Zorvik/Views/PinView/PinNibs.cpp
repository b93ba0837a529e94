#include "Zorvik/Views/PinView/PinNibs.h"

#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/Nibs/NibText.h"
#include "Zorvik/Views/PinView/FailedPinAttemptView.h"
#include "Zorvik/Views/PinView/LogoAndPromptView.h"
#include "Zorvik/Views/PinView/NumericPinButton.h"
#include "Zorvik/Views/PinView/PinDotView.h"
#include "Zorvik/Views/PinView/PinKeyboardView.h"
#include "Zorvik/Views/PinView/PinView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/NibRegistry.h"
#include "platform/ui/Screen.h"

#include <memory>
#include <mutex>
#include <string>

namespace zorvik {

using platform::ui::Button;
using platform::ui::ButtonType;
using platform::ui::Color;
using platform::ui::ControlEvent;
using platform::ui::Font;
using platform::ui::Image;
using platform::ui::ImageView;
using platform::ui::Label;
using platform::ui::NibBuilder;
using platform::ui::NibRegistry;
using platform::ui::Rect;
using platform::ui::Screen;
using platform::ui::TextAlignment;
using platform::ui::View;

namespace {

constexpr double kBarHeight = 64;
constexpr double kKeySize = 65;
constexpr double kKeypadHeight = 4 * kKeySize;

std::shared_ptr<ImageView> imageView(Rect frame, const std::string& name)
{
    auto view = std::make_shared<ImageView>(frame);
    view->setImage(Image::named(name));
    return view;
}

void buildLogoAndPrompt(NibBuilder& nib, bool small)
{
    double height = small ? 90 : 130;
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, height }));
    root->addSubview(imageView(small ? Rect { 125, 5, 70, 40 } : Rect { 110, 10, 100, 60 }, "ZorvikLogo"));
    auto prompt = whiteLabel({ 20, small ? 55.0 : 90.0, 280, 30 }, small ? 16 : 18, "OpenSans-SemiBold");
    root->addSubview(prompt);
    nib.outlet("prompt", prompt);
}

void buildFailedPinAttempt(NibBuilder& nib, bool small)
{
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, small ? 90.0 : 130.0 }));
    auto icon = std::make_shared<ImageView>(small ? Rect { 145, 5, 30, 30 } : Rect { 140, 20, 40, 40 });
    root->addSubview(icon);
    nib.outlet("imageView", icon);
    auto text = whiteLabel({ 20, small ? 40.0 : 70.0, 280, 40 }, small ? 14 : 16);
    text->setNumberOfLines(2);
    root->addSubview(text);
    nib.outlet("textView", text);
}

void buildPinDots(NibBuilder& nib)
{
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 120, 20 }));
    auto dots = imageView({ 0, 0, 120, 20 }, "PinDots0");
    root->addSubview(dots);
    nib.outlet("dotsImageView", dots);
}

void buildNumericPinButton(NibBuilder& nib)
{
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, kKeySize, kKeySize }));
    auto button = std::make_shared<Button>(ButtonType::Custom, Rect { 0, 0, kKeySize, kKeySize });
    root->addSubview(button);
    auto circle = imageView({ 0, 0, kKeySize, kKeySize }, "PinButtonPressed");
    circle->setAlpha(0);
    button->addSubview(circle);
    nib.outlet("pressedCircle", circle);
    auto digit = whiteLabel({ 0, 0, kKeySize, kKeySize }, 28, "OpenSans-Light");
    button->addSubview(digit);
    nib.outlet("numericTextLabel", digit);
    nib.connectAction(*button, ControlEvent::TouchDown, "onTouchDownWithButton");
    nib.connectAction(*button, ControlEvent::TouchUpInside, "onTouchUpWithButton");
}

void buildPinKeyboard(NibBuilder& nib)
{
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, kKeypadHeight }));
    // Three columns of keys around the middle, rows 1-2-3, 4-5-6, 7-8-9, then 0 in the middle column.
    auto place = [&](int column, int row) {
        return Rect { 160 - kKeySize / 2 + (column - 1) * 95, row * kKeySize, kKeySize, kKeySize };
    };
    for (int digit = 1; digit <= 9; ++digit) {
        auto key = nib.custom("NumericPinButton", place((digit - 1) % 3, (digit - 1) / 3));
        root->addSubview(key);
        nib.outlet("number" + std::to_string(digit), key);
    }
    auto zero = nib.custom("NumericPinButton", place(1, 3));
    root->addSubview(zero);
    nib.outlet("number0", zero);

    auto erase = std::make_shared<Button>(ButtonType::Custom, place(2, 3));
    erase->setImage(Image::named("BtnPinDelete"));
    erase->setAccessibilityLabel(std::string(PinKeyboardView::kDeleteLabel));
    root->addSubview(erase);
    nib.connectAction(*erase, ControlEvent::TouchUpInside, "deletePressedWithSender");
}

void buildPinView(NibBuilder& nib, bool small)
{
    auto bounds = Screen::main().bounds();
    auto root = nib.topLevel(std::make_shared<View>(bounds));

    auto background = std::make_shared<ImageView>(bounds);
    root->addSubview(background);
    nib.outlet("background", background);

    auto bar = nib.custom("NavigationBar", { 0, 0, bounds.width(), kBarHeight });
    root->addSubview(bar);
    nib.outlet("navigationBar", bar);

    double infoHeight = small ? 90 : 130;
    double keypadTop = bounds.height() - kKeypadHeight - (small ? 10 : 30);
    double dotsTop = kBarHeight + infoHeight + (keypadTop - kBarHeight - infoHeight - 20) / 2;

    auto info = std::make_shared<View>(Rect { 0, kBarHeight, bounds.width(), infoHeight });
    root->addSubview(info);
    nib.outlet("infoView", info);

    auto dots = nib.custom("PinDotView", { bounds.width() / 2 - 60, dotsTop, 120, 20 });
    root->addSubview(dots);
    nib.outlet("pinDots", dots);

    auto spinner = std::make_shared<LoadingView>(Rect { bounds.width() / 2 - 12, dotsTop - 2, 24, 24 });
    spinner->setHidden(true);
    root->addSubview(spinner);
    nib.outlet("loadingView", spinner);

    auto keypad
        = nib.custom("PinKeyboardView", { (bounds.width() - 320) / 2, keypadTop, 320, kKeypadHeight });
    root->addSubview(keypad);
    nib.outlet("pinKeyboard", keypad);
}

}

void registerPinNibs()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        NibRegistry::registerClass("PinDotView", XibViewObjcmb::fromNib<PinDotView>);
        NibRegistry::registerClass("PinKeyboardView", XibViewObjcmb::fromNib<PinKeyboardView>);
        NibRegistry::registerClass("NumericPinButton", XibViewObjcmb::fromNib<NumericPinButton>);
        NibRegistry::registerClass("LogoAndPromptView", LogoAndPromptView::fromNib);
        NibRegistry::registerClass("LogoAndPromptView4", XibViewObjcmb::fromNib<LogoAndPromptView4>,
            [] { return LogoAndPromptView4::make("Enter your pin."); });
        NibRegistry::registerClass("FailedPinAttemptView", XibViewObjcmb::fromNib<FailedPinAttemptView>);
        NibRegistry::registerClass("PinView", {}, [] { return PinView::make(); });

        NibRegistry::registerNib(
            "LogoAndPromptView", [](NibBuilder& nib) { buildLogoAndPrompt(nib, false); });
        NibRegistry::registerNib(
            "LogoAndPromptView4", [](NibBuilder& nib) { buildLogoAndPrompt(nib, true); });
        NibRegistry::registerNib(
            "FailedPinAttemptView", [](NibBuilder& nib) { buildFailedPinAttempt(nib, false); });
        NibRegistry::registerNib(
            "FailedPinAttemptView4", [](NibBuilder& nib) { buildFailedPinAttempt(nib, true); });
        NibRegistry::registerNib("PinDotView", buildPinDots);
        NibRegistry::registerNib("NumericPinButton", buildNumericPinButton);
        NibRegistry::registerNib("PinKeyboardView", buildPinKeyboard);
        NibRegistry::registerNib("PinView", [](NibBuilder& nib) { buildPinView(nib, false); });
        NibRegistry::registerNib("PinView4", [](NibBuilder& nib) { buildPinView(nib, true); });
    });
}

}
