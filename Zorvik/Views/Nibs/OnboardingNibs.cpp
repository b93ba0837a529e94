#include "Zorvik/Views/Nibs/OnboardingNibs.h"

#include "Zorvik/Controls/EmailTextField.h"
#include "Zorvik/Views/EnterEmailView/EnterEmailView.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/Nibs/NibText.h"
#include "Zorvik/Views/StartSignupView/CarouselPageControl.h"
#include "Zorvik/Views/StartSignupView/StartSignupView.h"
#include "Zorvik/Views/WelcomeView/WelcomeView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/NibRegistry.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/WebView.h"

#include <array>
#include <memory>
#include <mutex>
#include <string>

namespace zorvik {

using platform::ui::Button;
using platform::ui::ButtonType;
using platform::ui::Color;
using platform::ui::ControlEvent;
using platform::ui::ControlState;
using platform::ui::Font;
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

// A white-titled button, its title greyed while disabled.
std::shared_ptr<Button> textButton(Rect frame, const std::string& title, double size = 18)
{
    auto button = std::make_shared<Button>(ButtonType::Custom, frame);
    button->setTitle(title);
    button->setTitleColor(Color::white());
    button->setTitleColor(Color::fromBytes(199, 199, 205), ControlState::Disabled);
    button->setFont(Font::named("OpenSans-SemiBold", size).value());
    return button;
}

void buildEnterEmailView(NibBuilder& nib, bool small)
{
    auto bounds = Screen::main().bounds();
    double width = bounds.width();
    auto root = nib.topLevel(std::make_shared<View>(bounds));

    auto bar = nib.custom("NavigationBar", { 0, 0, width, kBarHeight });
    root->addSubview(bar);
    nib.outlet("navigationBar", bar);

    double promptHeight = small ? 90 : 130;
    auto prompt = nib.custom(
        small ? "LogoAndPromptView4" : "LogoAndPromptView", { 0, kBarHeight, width, promptHeight });
    root->addSubview(prompt);
    nib.outlet("prompt", prompt);

    // Everything stays above the keyboard, which covers the bottom 216 points.
    double fieldTop = kBarHeight + promptHeight + (small ? 4 : 20);
    auto field = nib.custom<EmailTextField>("EmailTextField", { 20, fieldTop, width - 40, 44 });
    field->setPlaceholder(std::string(EnterEmailView::kPlaceholder));
    field->setTextColor(Color::white());
    field->setFont(Font::named("OpenSans-Regular", 18).value());
    root->addSubview(field);
    nib.outlet("emailTextField", field);

    auto next = textButton({ width / 2 - 60, fieldTop + 54, 120, 44 }, EnterEmailView::kNextTitle);
    next->setEnabled(false);
    root->addSubview(next);
    nib.outlet("nextButton", next);
    nib.connectAction(*next, ControlEvent::TouchUpInside, "emailEntered");
}

void buildStartSignupView(NibBuilder& nib)
{
    auto bounds = Screen::main().bounds();
    double width = bounds.width();
    double height = bounds.height();
    auto root = nib.topLevel(std::make_shared<View>(bounds));

    auto background = std::make_shared<ImageView>(bounds);
    root->addSubview(background);
    nib.outlet("bgImageView", background);

    const std::array<std::pair<const char*, const char*>, 3> pages { {
        { "Invoices in pounds, in a minute", "Write an invoice on your phone and send it straight away." },
        { "Know what is paid", "Your invoices wait in To-Do until they are paid, then move to Done." },
        { "Made for sole traders", "Your business details, VAT and bank account on every invoice." },
    } };
    double carouselHeight = height - 220;
    auto carousel = std::make_shared<platform::ui::ScrollView>(Rect { 0, 40, width, carouselHeight });
    carousel->setPagingEnabled(true);
    carousel->setContentSize({ width * double(pages.size()), carouselHeight });
    for (std::size_t index = 0; index < pages.size(); ++index) {
        double left = width * double(index);
        auto title
            = whiteLabel({ left + 20, carouselHeight / 2 - 40, width - 40, 30 }, 20, "OpenSans-SemiBold");
        title->setText(std::string(pages[index].first));
        carousel->addSubview(title);
        auto text = whiteLabel({ left + 20, carouselHeight / 2, width - 40, 50 }, 15);
        text->setNumberOfLines(2);
        text->setText(std::string(pages[index].second));
        carousel->addSubview(text);
    }
    root->addSubview(carousel);
    nib.outlet("scrollView", carousel);

    auto dots = nib.custom<CarouselPageControl>("CarouselPageControl", { 0, 40 + carouselHeight, width, 37 });
    dots->setNumberOfPages(int(pages.size()));
    root->addSubview(dots);
    nib.outlet("pageControl", dots);

    auto signUp = textButton({ 20, height - 130, width / 2 - 30, 44 }, StartSignupView::kSignUpTitle);
    signUp->setBackgroundColor(Color::fromBytes(0, 188, 203));
    root->addSubview(signUp);
    nib.connectAction(*signUp, ControlEvent::TouchUpInside, "userWantsToSignUp");

    auto logIn
        = textButton({ width / 2 + 10, height - 130, width / 2 - 30, 44 }, StartSignupView::kLogInTitle);
    root->addSubview(logIn);
    nib.connectAction(*logIn, ControlEvent::TouchUpInside, "userWantsToLogin");

    auto terms = textButton({ 20, height - 60, width - 40, 30 }, StartSignupView::kTermsTitle, 13);
    root->addSubview(terms);
    nib.connectAction(*terms, ControlEvent::TouchUpInside, "userWantsToSeeTerms");
}

void buildWelcomeView(NibBuilder& nib)
{
    auto bounds = Screen::main().bounds();
    double width = bounds.width();
    auto root = nib.topLevel(std::make_shared<View>(bounds));
    auto title = whiteLabel({ 20, bounds.height() / 2 - 80, width - 40, 40 }, 26, "OpenSans-SemiBold");
    title->setText(std::string("Welcome to Zorvik!"));
    root->addSubview(title);
    auto text = whiteLabel({ 20, bounds.height() / 2 - 30, width - 40, 50 }, 15);
    text->setNumberOfLines(2);
    text->setText(std::string("Your account is ready. Write your first invoice."));
    root->addSubview(text);
    auto start
        = textButton({ width / 2 - 80, bounds.height() - 120, 160, 44 }, WelcomeView::kGetStartedTitle);
    start->setBackgroundColor(Color::fromBytes(0, 188, 203));
    root->addSubview(start);
    nib.connectAction(*start, ControlEvent::TouchUpInside, "getStarted");
}

void buildWebView(NibBuilder& nib)
{
    auto bounds = Screen::main().bounds();
    auto root = nib.topLevel(std::make_shared<View>(bounds));
    root->setBackgroundColor(Color::white());

    auto web = std::make_shared<platform::ui::WebView>(Rect { 0, 20, bounds.width(), bounds.height() - 20 });
    root->addSubview(web);
    nib.outlet("webView", web);

    auto container = std::make_shared<View>(bounds);
    container->setBackgroundColor(Color::white().withAlpha(0.6));
    container->setHidden(true);
    root->addSubview(container);
    nib.outlet("spinnerContainer", container);

    auto spinner
        = std::make_shared<LoadingView>(Rect { bounds.width() / 2 - 15, bounds.height() / 2 - 15, 30, 30 });
    spinner->setHidden(true);
    container->addSubview(spinner);
    nib.outlet("loadingView", spinner);
}

}

void registerOnboardingNibs()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        NibRegistry::registerClass("CarouselPageControl", CarouselPageControl::fromNib);
        NibRegistry::registerClass("EnterEmailView", {}, [] { return EnterEmailView::make(); });
        NibRegistry::registerClass("StartSignupView", {}, [] { return StartSignupView::make(); });
        NibRegistry::registerClass("WelcomeView", XibViewObjcmb::fromNib<WelcomeView>);

        NibRegistry::registerNib("EnterEmailView", [](NibBuilder& nib) { buildEnterEmailView(nib, false); });
        NibRegistry::registerNib("EnterEmailView4", [](NibBuilder& nib) { buildEnterEmailView(nib, true); });
        NibRegistry::registerNib("StartSignupView", buildStartSignupView);
        NibRegistry::registerNib("WelcomeView", buildWelcomeView);
        NibRegistry::registerNib("WebView", buildWebView);
    });
}

}
