#include "Zorvik/Views/InvoiceReceiverView/InvoiceReceiverView.h"
#include "platform/ui/Control.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/NibRegistry.h"
#include "platform/ui/Screen.h"

#include <mutex>

namespace zorvik {

using platform::ui::NibBuilder;
using platform::ui::NibRegistry;
using platform::ui::Rect;

namespace {

struct FieldLayout {
    const char* outlet;
    const char* placeholder;
};

constexpr FieldLayout kFields[] { { "companyNameTextField", "Company name" },
    { "addressLine1TextField", "Address line 1" }, { "addressLine2TextField", "Address line 2" },
    { "townTextField", "Town" }, { "countyTextField", "County" }, { "postCodeTextField", "Post code" },
    { "registrationNumberTextField", "Company number" } };

constexpr double kBarHeight = 64;
constexpr double kFieldHeight = 40;
constexpr double kFieldSpacing = 10;
constexpr double kMargin = 20;

void buildInvoiceReceiverView(NibBuilder& nib)
{
    auto bounds = platform::ui::Screen::main().bounds();
    auto root = nib.topLevel(std::make_shared<platform::ui::View>(bounds));
    root->setBackgroundColor(platform::ui::Color::white());

    // The fields scroll above the keyboard while it is up: the lower ones would lie under it.
    Rect below { 0, kBarHeight, bounds.width(), bounds.height() - kBarHeight };
    auto scroll = nib.custom("KeyboardScrollView", below);
    root->addSubview(scroll);
    nib.outlet("fieldsScrollView", scroll);
    auto content = std::make_shared<platform::ui::View>(Rect { 0, 0, below.width(), below.height() });
    scroll->addSubview(content);

    auto bar = nib.custom("NavigationBar", { 0, 0, bounds.width(), kBarHeight });
    root->addSubview(bar);
    nib.outlet("navigationBar", bar);

    double y = kMargin;
    bool first = true;
    for (const auto& layout : kFields) {
        auto field = std::make_shared<platform::ui::TextField>(
            Rect { kMargin, y, bounds.width() - 2 * kMargin, kFieldHeight });
        field->setPlaceholder(std::string(layout.placeholder));
        field->setReturnKeyType(platform::ui::ReturnKeyType::Next);
        content->addSubview(field);
        nib.outlet(layout.outlet, field);
        if (!first)
            nib.connectAction(*field, platform::ui::ControlEvent::EditingDidBegin, "formBeganEditing");
        first = false;
        y += kFieldHeight + kFieldSpacing;
    }
}

}

void registerInvoiceReceiverViewNib()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        NibRegistry::registerNib("InvoiceReceiverView", buildInvoiceReceiverView);
        NibRegistry::registerClass("InvoiceReceiverView", XibViewObjcmb::fromNib<InvoiceReceiverView>);
    });
}

}
