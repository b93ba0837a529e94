#pragma once

#include "Zorvik/Controllers/ProfileFormController/ProfileFormController.h"
#include "ZorvikAPI/models/BankAccount.h"

#include <memory>

namespace zorvik {

class BankAccountView;

/// Saves the bank account form to the business's live bank account record: {"account_number", "sort_code"}
/// as the fields show them, failing with "There was a problem updating your bank account information.".
class BankAccountController : public ProfileFormController {
public:
    /// A controller of `view` over `bankAccount` that becomes the view's controller.
    static std::shared_ptr<BankAccountController> make(api::BankAccount bankAccount,
        std::shared_ptr<BankAccountView> view,
        std::weak_ptr<platform::ui::NavigationController> navigationController);

    /// Checks the two fields, sends them, and answers the form with a record of the fields as saved.
    void save(SavedBlock saved, SaveFailedBlock saveFailed) override;

    const api::BankAccount& bankAccount() const { return m_bankAccount; }
    const std::shared_ptr<BankAccountView>& view() const { return m_view; }

    /// Use make().
    BankAccountController(api::BankAccount bankAccount, std::shared_ptr<BankAccountView> view,
        std::weak_ptr<platform::ui::NavigationController> navigationController);

private:
    api::BankAccount m_bankAccount;
    std::shared_ptr<BankAccountView> m_view;
};

}
