#pragma once

#include "Zorvik/Views/ContentView/FormViewObjc.h"
#include "ZorvikAPI/models/BankAccount.h"

#include <memory>
#include <string>

namespace zorvik {

class BankAccountNumberTextField;
class SortCodeTextField;

/// The bank account form (nib "BankAccountView"): the account number, then the sort code, titled
/// "Bank account info". The document is a bank account record; the fields show its values as stored, and
/// the document read back holds the texts as shown (a typed sort code with its hyphens). Beginning to edit
/// either field starts editing the form. Return moves from the account number to the sort code.
class BankAccountView : public FormViewObjc {
public:
    /// A form over `bankAccount`; made with create<BankAccountView>(Rect::zero(), bankAccount).
    explicit BankAccountView(api::BankAccount bankAccount);

    std::string className() const override { return "BankAccountView"; }

    /// A new bank account record of the two fields' texts.
    Document currentDocument() const override;
    /// Shows the record's sort code, then its account number (each "" when absent), and keeps the record
    /// as the one cancel returns to.
    void setCurrentDocument(const Document& document) override;

    /// A field began editing: the form starts editing.
    void textFieldBeganEditing();

    const std::shared_ptr<BankAccountNumberTextField>& accountNumberTextField() const
    {
        return m_accountNumberTextField;
    }
    const std::shared_ptr<SortCodeTextField>& sortCodeTextField() const { return m_sortCodeTextField; }

protected:
    void construct() override;

private:
    api::BankAccount m_bankAccount;
    std::shared_ptr<BankAccountNumberTextField> m_accountNumberTextField;
    std::shared_ptr<SortCodeTextField> m_sortCodeTextField;
};

}
