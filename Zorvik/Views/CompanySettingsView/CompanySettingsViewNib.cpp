#include "Zorvik/Views/CompanySettingsView/CompanySettingsViewNib.h"

#include "Zorvik/Views/CompanySettingsView/CompanySettingsView.h"
#include "Zorvik/Views/LineView/LineView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Control.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/NibRegistry.h"
#include "platform/ui/Screen.h"

#include <iterator>
#include <mutex>

namespace zorvik {

using platform::ui::Button;
using platform::ui::ButtonType;
using platform::ui::NibBuilder;
using platform::ui::Rect;

namespace {

constexpr double kMargin = 20;
constexpr double kRow = 50;

struct MenuRow {
    const char* title;
    const char* action;
};

constexpr MenuRow kRows[] = {
    { CompanySettingsView::kBusinessInfoTitle, "showCompany" },
    { CompanySettingsView::kVATInfoTitle, "showVATRegistration" },
    { CompanySettingsView::kBankAccountTitle, "showBankAccount" },
    { CompanySettingsView::kInvoiceFolderTitle, "showDropbox" },
    { CompanySettingsView::kLogOutTitle, "showLogOutDialogue" },
};

void buildCompanySettingsView(NibBuilder& nib)
{
    double width = platform::ui::Screen::main().bounds().width();
    auto root
        = nib.topLevel(std::make_shared<platform::ui::View>(Rect { 0, 0, width, std::size(kRows) * kRow }));
    root->setBackgroundColor(platform::ui::Color::white());
    double top = 0;
    for (const MenuRow& row : kRows) {
        auto button = std::make_shared<Button>(
            ButtonType::Custom, Rect { kMargin, top, width - 2 * kMargin, kRow - 1 });
        button->setTitle(std::string(row.title));
        root->addSubview(button);
        nib.connectAction(*button, platform::ui::ControlEvent::TouchUpInside, row.action);
        root->addSubview(
            std::make_shared<LineView>(Rect { kMargin, top + kRow - 1, width - 2 * kMargin, 1 }));
        top += kRow;
    }
}

}

void registerCompanySettingsViewNib()
{
    static std::once_flag registered;
    std::call_once(registered,
        [] { platform::ui::NibRegistry::registerNib("CompanySettingsView", buildCompanySettingsView); });
}

}
