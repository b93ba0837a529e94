#include "Zorvik/Views/BankAccountView/BankAccountView.h"

#include "Zorvik/Controllers/TabOrderController/TabOrderObjc.h"
#include "Zorvik/Views/BankAccountNumberTextField/BankAccountNumberTextField.h"
#include "Zorvik/Views/KeyboardScrollView/KeyboardScrollView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/SortCodeTextField/SortCodeTextField.h"

namespace zorvik {

BankAccountView::BankAccountView(api::BankAccount bankAccount)
    : FormViewObjc(bankAccount.record())
    , m_bankAccount(std::move(bankAccount))
{
    declareOutlet("accountNumberTextField", m_accountNumberTextField);
    declareOutlet("sortCodeTextField", m_sortCodeTextField);
    declareAction("textFieldBeganEditing", [this](platform::ui::View&) { textFieldBeganEditing(); });
}

void BankAccountView::construct()
{
    FormViewObjc::construct();
    navigationBar()->setText(std::string("Bank account info"));
    setTabOrder(TabOrderObjc::make({ m_accountNumberTextField, m_sortCodeTextField }, false));
    contentScrollView()->setTextFields({ m_accountNumberTextField, m_sortCodeTextField });
    setCurrentDocument(m_bankAccount.record());
}

Document BankAccountView::currentDocument() const
{
    return api::BankAccount::withAccountNumber(m_accountNumberTextField->text(), m_sortCodeTextField->text())
        .record();
}

void BankAccountView::setCurrentDocument(const Document& document)
{
    api::BankAccount record(document.dictionary());
    m_sortCodeTextField->setText(record.sortCode());
    m_accountNumberTextField->setText(record.accountNumber());
    FormViewObjc::setCurrentDocument(document);
}

void BankAccountView::textFieldBeganEditing()
{
    if (!isEditing())
        setIsEditing(true);
}

}
