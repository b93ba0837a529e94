#pragma once

#include "Zorvik/Views/InvoiceReceiverView/InvoiceReceiverViewProtocol.h"
#include "Zorvik/Views/NavigationBarModes/NavigationBarModeEditDelegateObjc.h"
#include "Zorvik/Views/XibViews/XibViewObjcmb.h"
#include "platform/ui/TextField.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace zorvik {

class KeyboardScrollView;
class NavigationBar;
class NavigationBarModeEditObjc;

/// The recipient details form (nib "InvoiceReceiverView"): the company name, two address lines, town,
/// county, post code and registration number of the business an invoice goes to. It never talks to the
/// back end: leaving it (the bar's back or "done") builds a fresh business record from the fields and hands
/// it to the controller. The bar's edit mode lets the user correct the address: "save" keeps the fields as
/// the new restore point, "cancel" brings back the last one. The company name itself changes only by a new
/// search (a tap on it asks the controller to search) or a new record from the controller.
class InvoiceReceiverView : public XibViewObjcmb,
                            public InvoiceReceiverViewProtocol,
                            public NavigationBarModeEditDelegateObjc,
                            public platform::ui::TextFieldDelegate {
public:
    /// An empty form; make one with make().
    InvoiceReceiverView();
    /// A form of its nib's size with the bar's edit mode at rest, titled "Recipient name".
    static std::shared_ptr<InvoiceReceiverView> make();

    std::string className() const override { return "InvoiceReceiverView"; }

    std::shared_ptr<InvoiceReceiverControllerProtocol> controller() const override
    {
        return m_controller.lock();
    }
    void setController(const std::weak_ptr<InvoiceReceiverControllerProtocol>& controller) override
    {
        m_controller = controller;
    }
    const platform::foundation::DictionaryRef& business() const override { return m_business; }
    /// A record that shows exactly what the form shows (every field equal, absent reading as empty)
    /// changes nothing, so edits under way stay; any other record is stored, fills the seven fields and
    /// becomes the edit mode's restore point.
    void setBusiness(const platform::foundation::DictionaryRef& business) override;
    bool readonly() const override { return m_readonly; }
    /// Read-only: title "Invoice sent to", no positive button, no field takes touches.
    void setReadonly(bool readonly) override;

    /// Builds a record from the fields (country ""), keeps it and hands it to the controller.
    void businessConfirmed();
    /// The same as businessConfirmed().
    void back();
    /// Asks the controller to search the register again.
    void searchCompanies();
    /// Switches the bar to its editing theme.
    void formBeganEditing();

    /// Keeps a record built from the fields (it becomes the restore point) and calls `saved` with it.
    void save(SavedBlock saved, SaveFailedBlock saveFailed) override;
    /// Ends editing of every field and refills them from `uneditedDocument`; true.
    bool cancelled(const Document& uneditedDocument) override;
    /// Leaving the form: back().
    void done() override;

    /// False for the company name (a touch there asks for a new search instead), true for the others.
    bool shouldBeginEditing(platform::ui::TextField& field) override;
    /// Ends editing of `field` and moves on to the next address field; true.
    bool shouldReturn(platform::ui::TextField& field) override;

    /// The bar at the top.
    const std::shared_ptr<NavigationBar>& navigationBar() const { return m_navigationBar; }
    /// The edit mode driving the bar.
    const std::shared_ptr<NavigationBarModeEditObjc>& editMode() const { return m_editMode; }
    /// The company name field.
    const std::shared_ptr<platform::ui::TextField>& companyNameTextField() const { return m_fields[0]; }
    /// The six fields other than the company name: address lines 1 and 2, town, county, post code,
    /// registration number.
    std::vector<std::shared_ptr<platform::ui::TextField>> textFields() const;

protected:
    void construct() override;

private:
    platform::foundation::DictionaryRef recordFromFields() const;
    void fill(const platform::foundation::DictionaryRef& business);

    std::weak_ptr<InvoiceReceiverControllerProtocol> m_controller;
    platform::foundation::DictionaryRef m_business;
    bool m_readonly { false };
    std::shared_ptr<NavigationBar> m_navigationBar;
    // Holds the fields and scrolls them above the keyboard.
    std::shared_ptr<KeyboardScrollView> m_fieldsScrollView;
    // Company name, address lines 1 and 2, town, county, post code, registration number.
    std::array<std::shared_ptr<platform::ui::TextField>, 7> m_fields;
    std::shared_ptr<NavigationBarModeEditObjc> m_editMode;
};

/// Registers the nib "InvoiceReceiverView" and the class.
void registerInvoiceReceiverViewNib();

}
