#include "Zorvik/Views/CompanyProfileView/CompanyProfileView.h"

#include "Zorvik/Controllers/TabOrderController/TabOrderObjc.h"
#include "Zorvik/Views/KeyboardScrollView/KeyboardScrollView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "platform/ui/TextField.h"

namespace zorvik {

CompanyProfileView::CompanyProfileView(api::Business business)
    : FormViewObjc(business.record())
    , m_business(std::move(business))
{
    declareOutlet("companyName", m_companyName);
    declareOutlet("addressLn1", m_addressLn1);
    declareOutlet("addressLn2", m_addressLn2);
    declareOutlet("town", m_town);
    declareOutlet("county", m_county);
    declareOutlet("postCode", m_postCode);
    declareOutlet("registrationNumber", m_registrationNumber);
    declareAction("editingDidBegin", [this](platform::ui::View&) { editingDidBegin(); });
}

void CompanyProfileView::construct()
{
    FormViewObjc::construct();
    navigationBar()->setText(std::string("Business info"));
    setCurrentDocument(m_business.record());
    auto order = fields();
    setTabOrder(TabOrderObjc::make(std::vector<TabOrderObjc::Field>(order.begin(), order.end()), false));
    contentScrollView()->setTextFields(order);
}

std::vector<std::shared_ptr<platform::ui::TextField>> CompanyProfileView::fields() const
{
    return { m_companyName, m_addressLn1, m_addressLn2, m_town, m_county, m_postCode, m_registrationNumber };
}

Document CompanyProfileView::currentDocument() const
{
    return api::Business::withName(m_companyName->text(), m_registrationNumber->text(), m_addressLn1->text(),
        m_addressLn2->text(), m_town->text(), m_county->text(), m_postCode->text(), m_country)
        .record();
}

void CompanyProfileView::setCurrentDocument(const Document& document)
{
    api::Business record(document.dictionary());
    m_companyName->setText(record.name().value_or(""));
    m_registrationNumber->setText(record.registrationNumber().value_or(""));
    m_addressLn1->setText(record.addressLine1().value_or(""));
    m_addressLn2->setText(record.addressLine2().value_or(""));
    m_town->setText(record.town().value_or(""));
    m_county->setText(record.county().value_or(""));
    m_postCode->setText(record.postCode().value_or(""));
    m_country = record.country().value_or("");
    FormViewObjc::setCurrentDocument(document);
}

void CompanyProfileView::editingDidBegin()
{
    if (!isEditing())
        setIsEditing(true);
}

}
