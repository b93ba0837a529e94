#include "Zorvik/Views/BankAccountView/BankAccountViewNib.h"

#include "Zorvik/Views/BankAccountNumberTextField/BankAccountNumberTextField.h"
#include "Zorvik/Views/BankAccountView/BankAccountView.h"
#include "Zorvik/Views/Nibs/FormRows.h"
#include "Zorvik/Views/SortCodeTextField/SortCodeTextField.h"
#include "platform/foundation/Dictionary.h"

#include <mutex>

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
    static std::once_flag registered;
    std::call_once(registered, [] {
        NibRegistry::registerClass("BankAccountNumberTextField",
            [](const NibCoder& coder) { return std::make_shared<BankAccountNumberTextField>(coder); });
        NibRegistry::registerClass("SortCodeTextField",
            [](const NibCoder& coder) { return std::make_shared<SortCodeTextField>(coder); });
        NibRegistry::registerClass("BankAccountView", {}, [] {
            return XibViewObjcmb::create<BankAccountView>(
                Rect::zero(), api::BankAccount(platform::foundation::Dictionary::make()));
        });
        NibRegistry::registerNib("BankAccountView", buildBankAccountView);
    });
}

}
