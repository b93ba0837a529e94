#include "Zorvik/Views/CompanyProfileView/CompanyProfileViewNib.h"

#include "Zorvik/Views/CompanyProfileView/CompanyProfileView.h"
#include "Zorvik/Views/Nibs/FormRows.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/TextField.h"

#include <mutex>

namespace zorvik {

using platform::ui::NibBuilder;
using platform::ui::NibRegistry;
using platform::ui::Rect;

namespace {

struct Row {
    const char* outlet;
    const char* prompt;
    const char* placeholder;
};

// In focus order.
constexpr Row kRows[] = {
    { "companyName", "Name", "Your business name" },
    { "addressLn1", "Address", "Street" },
    { "addressLn2", "", "Second line (optional)" },
    { "town", "Town", "Town or city" },
    { "county", "County", "Optional" },
    { "postCode", "Postcode", "AB1 2CD" },
    { "registrationNumber", "Company no.", "If registered" },
};

void buildCompanyProfileView(NibBuilder& nib)
{
    auto root = FormRow::root(nib, 10 + std::size(kRows) * FormRow::kHeight);
    double top = 10;
    for (const Row& row : kRows) {
        auto field = FormRow::textField();
        if (std::string_view(row.outlet) == "postCode")
            field->setAutocapitalizationType(platform::ui::AutocapitalizationType::AllCharacters);
        auto added = FormRow::add(nib, *root, top, row.prompt, field, row.placeholder, "editingDidBegin");
        nib.outlet(row.outlet, added.field);
        top += FormRow::kHeight;
    }
}

}

void registerCompanyProfileViewNib()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        NibRegistry::registerClass("CompanyProfileView", {}, [] {
            return XibViewObjcmb::create<CompanyProfileView>(
                Rect::zero(), api::Business(platform::foundation::Dictionary::make()));
        });
        NibRegistry::registerNib("CompanyProfileView", buildCompanyProfileView);
    });
}

}
