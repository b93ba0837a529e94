#include "Zorvik/Views/VATRegistrationView/VATRegistrationViewNib.h"

#include "Zorvik/Views/LineView/LineView.h"
#include "Zorvik/Views/Nibs/FormRows.h"
#include "Zorvik/Views/VATRegistrationView/VATRegistrationView.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/Label.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TextField.h"

#include <mutex>

namespace zorvik {

using platform::ui::NibBuilder;
using platform::ui::NibRegistry;
using platform::ui::Rect;

namespace {

void buildVATRegistrationView(NibBuilder& nib)
{
    auto root = FormRow::root(nib, 20 + 2 * FormRow::kHeight);
    double width = root->bounds().width();

    auto prompt = std::make_shared<platform::ui::Label>(Rect { 20, 20, width - 100, FormRow::kHeight - 1 });
    prompt->setFont(platform::ui::Font::named("OpenSans-SemiBold", 14).value());
    prompt->setTextColor(platform::ui::Color::fromBytes(0, 188, 203));
    prompt->setText("Registered for VAT");
    root->addSubview(prompt);

    auto registered = std::make_shared<platform::ui::Switch>(Rect { width - 71, 29, 51, 31 });
    registered->setAccessibilityLabel("VAT registration");
    registered->setOnTintColor(platform::ui::Color::fromBytes(0, 188, 203));
    root->addSubview(registered);
    nib.outlet("vatRegistrationSwitch", registered);
    nib.connectAction(*registered, platform::ui::ControlEvent::ValueChanged, "vatRegisteredToggled");

    auto field = FormRow::textField();
    field->setAutocapitalizationType(platform::ui::AutocapitalizationType::AllCharacters);
    field->setAutocorrectionType(platform::ui::AutocorrectionType::No);
    auto number = FormRow::add(nib, *root, 20 + FormRow::kHeight, "VAT number", field, "GB 123 4567 89",
        "registrationNumberDidBeginEditing");
    nib.outlet("registrationNumberPrompt", number.prompt);
    nib.outlet("registrationNumberTextField", number.field);
    nib.outlet("registrationNumberLineView", number.line);
}

}

void registerVATRegistrationViewNib()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        NibRegistry::registerClass("VATRegistrationView", {}, [] {
            return XibViewObjcmb::create<VATRegistrationView>(
                Rect::zero(), api::VATRegistration(platform::foundation::Dictionary::make()));
        });
        NibRegistry::registerNib("VATRegistrationView", buildVATRegistrationView);
    });
}

}
