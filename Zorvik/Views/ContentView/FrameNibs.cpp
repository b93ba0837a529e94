#include "Zorvik/Views/ContentView/FrameNibs.h"

#include "Zorvik/Views/DirectionalScrollView/DirectionalScrollView.h"
#include "Zorvik/Views/KeyboardScrollView/KeyboardScrollView.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/OneButtonDialogView/OneButtonDialogView.h"
#include "Zorvik/Views/TwoButtonDialogView/TwoButtonDialogView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/LayoutAnchor.h"
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
using platform::ui::ImageView;
using platform::ui::Label;
using platform::ui::NibBuilder;
using platform::ui::NibCoder;
using platform::ui::NibRegistry;
using platform::ui::Rect;
using platform::ui::Screen;
using platform::ui::TextAlignment;
using platform::ui::View;

namespace {

// The height of every navigation bar.
constexpr double kBarHeight = 64;
// The heights of the business header: without and with the logo area.
constexpr double kReadOnlyHeaderHeight = 50;
constexpr double kLogoAreaHeight = 110;

template<class T> std::shared_ptr<View> framed(const NibCoder& coder)
{
    return std::make_shared<T>(coder.frame);
}

std::shared_ptr<Label> label(const std::string& fontName, double size, TextAlignment alignment)
{
    auto text = std::make_shared<Label>();
    text->setFont(Font::named(fontName, size).value());
    text->setTextAlignment(alignment);
    return text;
}

// The nib's connection of an outlet or action that only some owners of the nib declare: the business
// frame's logo area, which the code-made ContentView does without.
void outletIfDeclared(NibBuilder& nib, const std::string& name, const std::shared_ptr<View>& view)
{
    if (nib.owner() && nib.owner()->hasOutlet(name))
        nib.outlet(name, view);
}

void buildNavigationBar(NibBuilder& nib)
{
    auto root
        = nib.topLevel(std::make_shared<View>(Rect { 0, 0, Screen::main().bounds().width(), kBarHeight }));

    auto divider = std::make_shared<View>();
    root->addSubview(divider);
    nib.outlet("divider", divider);

    auto title = label("OpenSans-SemiBold", 17, TextAlignment::Center);
    title->setText(std::string());
    root->addSubview(title);
    nib.outlet("title", title);

    auto negative = NavigationBar::standardNegativeButtonTemplate();
    if (auto back = platform::ui::Image::named("BtnTealLessThan")) {
        negative->setImage(back);
        negative->setAccessibilityLabel(back->name());
    }
    root->addSubview(negative);
    nib.outlet("negativeButton", negative);
    nib.connectAction(*negative, ControlEvent::TouchUpInside, "negativePressed");

    auto positive = NavigationBar::standardPositiveButtonTemplate();
    root->addSubview(positive);
    nib.outlet("positiveButton", positive);
    nib.connectAction(*positive, ControlEvent::TouchUpInside, "positivePressed");

    auto spinner = std::make_shared<LoadingView>();
    spinner->setHidden(true);
    root->addSubview(spinner);
    nib.outlet("loadingView", spinner);

    platform::ui::VisualFormat::Views views { { "divider", divider }, { "title", title },
        { "negative", negative }, { "positive", positive }, { "spinner", spinner } };
    nib.constrain(root, "H:|[divider]|", views);
    nib.constrain(root, "V:[divider(==1)]|", views);
    nib.constrain(root, "H:|-84-[title]-84-|", views);
    nib.constrain(root, "V:[title(==40)]-5-[divider]", views);
    nib.constrain(root, NavigationBar::horizontalNegativeConstraint, { { "subview", negative } });
    nib.constrain(
        root, NavigationBar::verticalButtonConstraint, { { "subview", negative }, { "divider", divider } });
    nib.constrain(root, NavigationBar::horizontalPositiveConstraint, { { "subview", positive } });
    nib.constrain(
        root, NavigationBar::verticalButtonConstraint, { { "subview", positive }, { "divider", divider } });
    nib.constrain(root, "H:[spinner(==24)]-30-|", views);
    nib.constrain(root, "V:[spinner(==24)]-13-[divider]", views);
}

// The bar, the scroll view with its content holder, and the room of `headerHeight` points between them;
// returns the root and the bar.
std::pair<std::shared_ptr<View>, std::shared_ptr<View>> buildFrame(NibBuilder& nib, double headerHeight)
{
    auto root = nib.topLevel(std::make_shared<View>(Screen::main().bounds()));
    root->setBackgroundColor(Color::white());

    auto scroll = nib.custom("KeyboardScrollView", Rect::zero());
    root->addSubview(scroll);
    nib.outlet("contentScrollView", scroll);

    auto holder = std::make_shared<View>();
    scroll->addSubview(holder);
    nib.outlet("contentHolder", holder);

    auto bar = nib.custom("NavigationBar", { 0, 0, Screen::main().bounds().width(), kBarHeight });
    root->addSubview(bar);
    nib.outlet("navigationBar", bar);

    platform::ui::VisualFormat::Views views { { "bar", bar }, { "scroll", scroll }, { "holder", holder } };
    platform::ui::VisualFormat::Metrics metrics { { "barHeight", kBarHeight }, { "header", headerHeight } };
    nib.constrain(root, "H:|[bar]|", views);
    nib.constrain(root, "H:|[scroll]|", views);
    nib.constrain(root, "V:|[bar(==barHeight)]-header-[scroll]|", views, metrics);
    nib.constrain(scroll, "H:|[holder]|", views);
    nib.constrain(scroll, "V:|[holder]|", views);
    return { root, bar };
}

void buildTemplateView(NibBuilder& nib)
{
    buildFrame(nib, 0);
}

void buildContentView(NibBuilder& nib)
{
    bool small = Screen::main().isShort();
    auto [root, bar] = buildFrame(nib, small ? kReadOnlyHeaderHeight : kLogoAreaHeight);
    double width = Screen::main().bounds().width();

    auto readOnly = std::make_shared<View>(Rect { 0, kBarHeight, width, kReadOnlyHeaderHeight });
    readOnly->setBackgroundColor(Color::fromBytes(0, 188, 203));
    root->addSubview(readOnly);
    outletIfDeclared(nib, "readOnlyView", readOnly);
    auto name = label("OpenSans-SemiBold", 18, TextAlignment::Center);
    name->setTextColor(Color::white());
    readOnly->addSubview(name);
    nib.outlet("businessNameLabel", name);

    auto logoArea = std::make_shared<View>(Rect { 0, kBarHeight, width, kLogoAreaHeight });
    logoArea->setBackgroundColor(Color::fromBytes(0, 188, 203));
    root->addSubview(logoArea);
    outletIfDeclared(nib, "addLogoView", logoArea);

    auto grey = std::make_shared<View>();
    grey->setBackgroundColor(Color::fromBytes(240, 240, 240));
    logoArea->addSubview(grey);
    outletIfDeclared(nib, "greyBackground", grey);

    auto logoFrame = std::make_shared<ImageView>(Rect { 10, 10, 90, 90 });
    logoFrame->setImage(platform::ui::Image::named("CompanyLogoFrame"));
    logoArea->addSubview(logoFrame);
    outletIfDeclared(nib, "companyLogoFrame", logoFrame);

    auto logo = std::make_shared<ImageView>(Rect { 15, 15, 80, 80 });
    logoArea->addSubview(logo);
    outletIfDeclared(nib, "imageView", logo);

    auto prompt = std::make_shared<ImageView>(Rect { 15, 15, 80, 80 });
    prompt->setImage(platform::ui::Image::named("AddLogo"));
    logoArea->addSubview(prompt);
    outletIfDeclared(nib, "addLogoImage", prompt);

    auto nameInLogoArea = label("OpenSans-SemiBold", 18, TextAlignment::Left);
    nameInLogoArea->setTextColor(Color::white());
    logoArea->addSubview(nameInLogoArea);
    outletIfDeclared(nib, "businessNameLabelForAddLogoView", nameInLogoArea);

    auto spinnerArea = std::make_shared<View>(Rect { 15, 15, 80, 80 });
    spinnerArea->setBackgroundColor(Color::black().withAlpha(0.4));
    spinnerArea->setHidden(true);
    logoArea->addSubview(spinnerArea);
    outletIfDeclared(nib, "spinnerContainer", spinnerArea);
    auto spinner = std::make_shared<LoadingView>(Rect { 25, 25, 30, 30 });
    spinner->setHidden(true);
    spinnerArea->addSubview(spinner);
    outletIfDeclared(nib, "logoLoadingView", spinner);

    auto addLogo = std::make_shared<Button>(ButtonType::Custom);
    addLogo->setAccessibilityLabel("Add logo");
    logoArea->addSubview(addLogo);
    outletIfDeclared(nib, "addLogoButton", addLogo);
    if (nib.owner() && nib.owner()->hasAction("showPhotoPickerOptions"))
        nib.connectAction(*addLogo, ControlEvent::TouchUpInside, "showPhotoPickerOptions");

    platform::ui::VisualFormat::Views views { { "bar", bar }, { "readOnly", readOnly },
        { "logoArea", logoArea }, { "name", name }, { "grey", grey }, { "nameInLogoArea", nameInLogoArea },
        { "addLogo", addLogo } };
    platform::ui::VisualFormat::Metrics metrics { { "readOnlyHeight", kReadOnlyHeaderHeight },
        { "logoHeight", kLogoAreaHeight } };
    nib.constrain(root, "H:|[readOnly]|", views);
    nib.constrain(root, "V:[bar][readOnly(==readOnlyHeight)]", views, metrics);
    nib.constrain(root, "H:|-15-[name]-15-|", views);
    nib.constrain(root, "V:|-10-[name]-10-|", views);
    nib.constrain(root, "H:|[logoArea]|", views);
    nib.constrain(root, "V:[bar][logoArea(==logoHeight)]", views, metrics);
    nib.constrain(logoArea, "H:|[grey]|", views);
    nib.constrain(logoArea, "V:|[grey]|", views);
    nib.constrain(logoArea, "H:|-110-[nameInLogoArea]-15-|", views);
    nib.constrain(logoArea, "V:|-40-[nameInLogoArea(==30)]", views);
    nib.constrain(logoArea, "H:|[addLogo]|", views);
    nib.constrain(logoArea, "V:|[addLogo]|", views);
}

// A dimmed cover of the whole screen with a white panel across its middle; returns the root and the panel.
std::pair<std::shared_ptr<View>, std::shared_ptr<View>> buildDialogPanel(NibBuilder& nib, double panelHeight)
{
    auto root = nib.topLevel(std::make_shared<View>(Screen::main().bounds()));
    root->setBackgroundColor(Color::black().withAlpha(0.5));
    auto panel = std::make_shared<View>();
    panel->setBackgroundColor(Color::white());
    panel->setCornerRadius(6);
    root->addSubview(panel);
    nib.constrain(root, "H:|-30-[panel]-30-|", { { "panel", panel } });
    nib.constrain(root,
        { platform::ui::centerYAnchor(panel).constraintEqualTo(platform::ui::centerYAnchor(root)),
            platform::ui::heightAnchor(panel).constraintEqualToConstant(panelHeight) });
    return { root, panel };
}

void buildOneButtonDialogView(NibBuilder& nib)
{
    auto [root, panel] = buildDialogPanel(nib, 190);
    auto title = label("OpenSans-SemiBold", 18, TextAlignment::Center);
    panel->addSubview(title);
    nib.outlet("titleLabel", title);
    auto message = label("OpenSans-Light", 15, TextAlignment::Center);
    message->setNumberOfLines(0);
    panel->addSubview(message);
    nib.outlet("messageLabel", message);
    auto button = std::make_shared<Button>(ButtonType::System);
    panel->addSubview(button);
    nib.outlet("button", button);
    nib.connectAction(*button, ControlEvent::TouchUpInside, "buttonPressed");

    platform::ui::VisualFormat::Views views { { "title", title }, { "message", message },
        { "button", button } };
    nib.constrain(panel, "H:|-15-[title]-15-|", views);
    nib.constrain(panel, "H:|-15-[message]-15-|", views);
    nib.constrain(panel, "H:|-15-[button]-15-|", views);
    nib.constrain(panel, "V:|-15-[title(==26)]-8-[message(==80)]-8-[button(==40)]", views);
}

void buildTwoButtonDialogView(NibBuilder& nib)
{
    auto [root, panel] = buildDialogPanel(nib, 250);
    auto icon = std::make_shared<ImageView>();
    panel->addSubview(icon);
    nib.outlet("iconImageView", icon);
    auto title = label("OpenSans-SemiBold", 18, TextAlignment::Center);
    panel->addSubview(title);
    nib.outlet("alertTitleLabel", title);
    auto message = label("OpenSans-Light", 15, TextAlignment::Center);
    message->setNumberOfLines(0);
    panel->addSubview(message);
    nib.outlet("alertMessageLabel", message);
    auto negative = std::make_shared<Button>(ButtonType::System);
    panel->addSubview(negative);
    nib.outlet("alertNegativeButton", negative);
    nib.connectAction(*negative, ControlEvent::TouchUpInside, "negativeButtonPressed");
    auto positive = std::make_shared<Button>(ButtonType::System);
    panel->addSubview(positive);
    nib.outlet("alertPositiveButton", positive);
    nib.connectAction(*positive, ControlEvent::TouchUpInside, "positiveButtonPressed");

    platform::ui::VisualFormat::Views views { { "icon", icon }, { "title", title }, { "message", message },
        { "negative", negative }, { "positive", positive } };
    nib.constrain(panel,
        { platform::ui::centerXAnchor(icon).constraintEqualTo(platform::ui::centerXAnchor(panel)),
            platform::ui::widthAnchor(icon).constraintEqualToConstant(50) });
    nib.constrain(panel, "H:|-15-[title]-15-|", views);
    nib.constrain(panel, "H:|-15-[message]-15-|", views);
    nib.constrain(panel, "H:|-15-[negative]-10-[positive(==negative)]-15-|", views);
    nib.constrain(panel, "V:|-15-[icon(==50)]-8-[title(==26)]-8-[message(==80)]-8-[negative(==40)]", views);
    nib.constrain(panel, "V:[positive(==40)]-15-|", views);
}

}

void registerFrameNibs()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        NibRegistry::registerClass(
            "NavigationBar", NavigationBar::fromNib, [] { return NavigationBar::make("Title"); });
        NibRegistry::registerClass("KeyboardScrollView", framed<KeyboardScrollView>);
        NibRegistry::registerClass("DirectionalScrollView", framed<DirectionalScrollView>);
        NibRegistry::registerClass("OneButtonDialogView", XibViewObjcmb::fromNib<OneButtonDialogView>);
        NibRegistry::registerClass("TwoButtonDialogView", XibViewObjcmb::fromNib<TwoButtonDialogView>);

        NibRegistry::registerNib("NavigationBar", buildNavigationBar);
        NibRegistry::registerNib("TemplateView", buildTemplateView);
        NibRegistry::registerNib("ContentView", buildContentView);
        NibRegistry::registerNib("OneButtonDialogView", buildOneButtonDialogView);
        NibRegistry::registerNib("TwoButtonDialogView", buildTwoButtonDialogView);
    });
}

}
