#include "Zorvik/ViewControllers/ProfileForms/BankAccountViewController.h"

#include "Zorvik/Controllers/ProfileFormController/BankAccountController.h"
#include "Zorvik/ViewControllers/ProfileForms/SignedInBusiness.h"
#include "Zorvik/Views/BankAccountView/BankAccountView.h"
#include "platform/foundation/Assertion.h"

namespace zorvik {

BankAccountViewController::BankAccountViewController()
{
    setTitle("Bank account info");
}

void BankAccountViewController::loadView()
{
    auto bankAccount = signedInBusiness("The bank account screen").bankAccount();
    platform::foundation::precondition(
        bankAccount.has_value(), "The bank account screen needs the signed-in business's bank account");
    auto view = XibViewObjcmb::create<BankAccountView>(platform::ui::Rect::zero(), *bankAccount);
    m_controller = BankAccountController::make(*bankAccount, view, navigationController());
    setView(view);
}

}
