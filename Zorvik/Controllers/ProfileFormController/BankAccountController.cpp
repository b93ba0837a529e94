#include "Zorvik/Controllers/ProfileFormController/BankAccountController.h"

#include "Zorvik/Models/FormChecks.h"
#include "Zorvik/Views/BankAccountNumberTextField/BankAccountNumberTextField.h"
#include "Zorvik/Views/BankAccountView/BankAccountView.h"
#include "Zorvik/Views/SortCodeTextField/SortCodeTextField.h"

namespace zorvik {

std::shared_ptr<BankAccountController> BankAccountController::make(api::BankAccount bankAccount,
    std::shared_ptr<BankAccountView> view,
    std::weak_ptr<platform::ui::NavigationController> navigationController)
{
    auto controller = std::make_shared<BankAccountController>(
        std::move(bankAccount), std::move(view), std::move(navigationController));
    controller->m_view->setController(controller);
    return controller;
}

BankAccountController::BankAccountController(api::BankAccount bankAccount,
    std::shared_ptr<BankAccountView> view,
    std::weak_ptr<platform::ui::NavigationController> navigationController)
    : ProfileFormController(
        std::move(navigationController), "There was a problem updating your bank account information.")
    , m_bankAccount(std::move(bankAccount))
    , m_view(std::move(view))
{
}

void BankAccountController::save(SavedBlock saved, SaveFailedBlock saveFailed)
{
    const std::string& accountNumber = m_view->accountNumberTextField()->text();
    const std::string& sortCode = m_view->sortCodeTextField()->text();
    auto changes = api::BankAccount::withAccountNumber(accountNumber, sortCode);
    saveChanges(
        m_bankAccount, changes.record(), FormChecks::bankAccountProblem(accountNumber, sortCode),
        [this] { return m_view->currentDocument(); }, std::move(saved), std::move(saveFailed));
}

}
