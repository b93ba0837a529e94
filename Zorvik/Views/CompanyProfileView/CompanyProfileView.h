#pragma once

#include "Zorvik/Views/ContentView/FormViewObjc.h"
#include "ZorvikAPI/models/Business.h"

#include <memory>
#include <string>
#include <vector>

namespace platform::ui {
class TextField;
}

namespace zorvik {

/// The business details form (nib "CompanyProfileView"), titled "Business info": name, two address lines,
/// town, county, postcode and company registration number, in that focus order. The document is a
/// business record; the form reads back exactly the eight keys of a business's name and address, the
/// country being the one of the record shown last ("" when it has none), which the form does not edit.
/// Beginning to edit any field starts editing the form.
class CompanyProfileView : public FormViewObjc {
public:
    /// A form over `business`; made with create<CompanyProfileView>(Rect::zero(), business).
    explicit CompanyProfileView(api::Business business);

    std::string className() const override { return "CompanyProfileView"; }

    /// A new business record of the seven fields' texts and the country kept.
    Document currentDocument() const override;
    /// Shows the record's values (absent ones as empty fields), keeps its country and keeps the record as
    /// the one cancel returns to.
    void setCurrentDocument(const Document& document) override;

    /// A field began editing: the form starts editing.
    void editingDidBegin();

    const std::shared_ptr<platform::ui::TextField>& companyName() const { return m_companyName; }
    const std::shared_ptr<platform::ui::TextField>& addressLn1() const { return m_addressLn1; }
    const std::shared_ptr<platform::ui::TextField>& addressLn2() const { return m_addressLn2; }
    const std::shared_ptr<platform::ui::TextField>& town() const { return m_town; }
    const std::shared_ptr<platform::ui::TextField>& county() const { return m_county; }
    const std::shared_ptr<platform::ui::TextField>& postCode() const { return m_postCode; }
    const std::shared_ptr<platform::ui::TextField>& registrationNumber() const
    {
        return m_registrationNumber;
    }

protected:
    void construct() override;

private:
    std::vector<std::shared_ptr<platform::ui::TextField>> fields() const;

    api::Business m_business;
    std::string m_country;
    std::shared_ptr<platform::ui::TextField> m_companyName;
    std::shared_ptr<platform::ui::TextField> m_addressLn1;
    std::shared_ptr<platform::ui::TextField> m_addressLn2;
    std::shared_ptr<platform::ui::TextField> m_town;
    std::shared_ptr<platform::ui::TextField> m_county;
    std::shared_ptr<platform::ui::TextField> m_postCode;
    std::shared_ptr<platform::ui::TextField> m_registrationNumber;
};

}
