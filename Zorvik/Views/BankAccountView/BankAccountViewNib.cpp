#include "Zorvik/Views/BankAccountView/BankAccountViewNib.h"

#include "Zorvik/Views/BankAccountNumberTextField/BankAccountNumberTextField.h"
#include "Zorvik/Views/BankAccountView/BankAccountView.h"
#include "Zorvik/Views/Nibs/FormRows.h"
#include "Zorvik/Views/SortCodeTextField/SortCodeTextField.h"
#include "platform/foundation/Dictionary.h"

namespace zorvik {

using platform::ui::NibBuilder;
using platform::ui::NibCoder;
using platform::ui::NibRegistry;
using platform::ui::Rect;

namespace {

void buildBankAccountView(NibBuilder& nib)
{
    auto root = FormRow::root(nib, 20 + 2 * FormRow::kHeight);
    auto account = FormRow::add(nib, *root, 20, "Account number",
        nib.custom<BankAccountNumberTextField>("BankAccountNumberTextField", Rect::zero()), "8 digits",
        "textFieldBeganEditing");
    nib.outlet("accountNumberTextField", account.field);
    auto sortCode = FormRow::add(nib, *root, 20 + FormRow::kHeight, "Sort code",
        nib.custom<SortCodeTextField>("SortCodeTextField", Rect::zero()), "00-00-00",
        "textFieldBeganEditing");
    nib.outlet("sortCodeTextField", sortCode.field);
}

}

void registerBankAccountViewNib()
{
    if (!NibRegistry::hasClass("BankAccountNumberTextField")) {
        NibRegistry::registerClass("BankAccountNumberTextField",
            [](const NibCoder& coder) { return std::make_shared<BankAccountNumberTextField>(coder); });
    }
    if (!NibRegistry::hasClass("SortCodeTextField")) {
        NibRegistry::registerClass("SortCodeTextField",
            [](const NibCoder& coder) { return std::make_shared<SortCodeTextField>(coder); });
    }
    if (!NibRegistry::hasClass("BankAccountView")) {
        NibRegistry::registerClass("BankAccountView", {}, [] {
            return XibViewObjcmb::create<BankAccountView>(
                Rect::zero(), api::BankAccount(platform::foundation::Dictionary::make()));
        });
    }
    if (!NibRegistry::hasNib("BankAccountView"))
        NibRegistry::registerNib("BankAccountView", buildBankAccountView);
}

}
