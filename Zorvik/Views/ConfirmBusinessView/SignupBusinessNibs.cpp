#include "Zorvik/Views/ConfirmBusinessView/SignupBusinessNibs.h"

#include "Zorvik/Views/ConfirmBusinessView/SignupBusinessView.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Control.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/NibRegistry.h"
#include "platform/ui/Screen.h"

#include <mutex>

namespace zorvik {

using platform::ui::NibBuilder;
using platform::ui::Rect;

namespace {

constexpr double kMargin = 20;
constexpr double kLine = 24;

std::shared_ptr<platform::ui::View> root(NibBuilder& nib, double height)
{
    double width = platform::ui::Screen::main().bounds().width();
    auto view = nib.topLevel(std::make_shared<platform::ui::View>(Rect { 0, 0, width, height }));
    view->setBackgroundColor(platform::ui::Color::white());
    return view;
}

// The confirm button and, in its place, the spinner shown while busy.
void addConfirm(NibBuilder& nib, platform::ui::View& root, double top)
{
    double width = root.frame().width();
    auto button = std::make_shared<platform::ui::Button>(
        platform::ui::ButtonType::Custom, Rect { kMargin, top, width - 2 * kMargin, 44 });
    button->setTitle(std::string(SignupBusinessView::kConfirmTitle));
    root.addSubview(button);
    nib.outlet("button", button);
    nib.connectAction(*button, platform::ui::ControlEvent::TouchUpInside, "companyConfirmed");
    auto spinner = std::make_shared<LoadingView>(Rect { (width - 30) / 2, top + 7, 30, 30 });
    root.addSubview(spinner);
    nib.outlet("loadingView", spinner);
}

std::shared_ptr<platform::ui::Label> label(platform::ui::View& root, double top, const std::string& text)
{
    auto line = std::make_shared<platform::ui::Label>();
    line->setFrame({ kMargin, top, root.frame().width() - 2 * kMargin, kLine });
    line->setText(text);
    root.addSubview(line);
    return line;
}

void buildCompanySummaryView(NibBuilder& nib)
{
    const char* outlets[] = { "addressLn1", "addressLn2", "county", "postCode", "registrationNumber" };
    auto view = root(nib, 20 + std::size(outlets) * kLine + 80);
    double top = 20;
    for (const char* outlet : outlets) {
        nib.outlet(outlet, label(*view, top, ""));
        top += kLine;
    }
    addConfirm(nib, *view, top + 20);
}

void buildConfirmBusinessView(NibBuilder& nib)
{
    auto view = root(nib, 20 + 2 * kLine + 80);
    label(*view, 20, "Is this your business?");
    label(*view, 20 + kLine, "It goes on every invoice you send.");
    addConfirm(nib, *view, 20 + 2 * kLine + 20);
}

}

void registerSignupBusinessNibs()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        platform::ui::NibRegistry::registerNib("CompanySummaryView", buildCompanySummaryView);
        platform::ui::NibRegistry::registerNib("ConfirmBusinessView", buildConfirmBusinessView);
    });
}

}
