#pragma once

namespace zorvik {

/// What the business settings menu asks of its actions object.
class CompanySettingsControllerProtocol {
public:
    virtual ~CompanySettingsControllerProtocol() = default;

    /// Opens the business details form.
    virtual void showCompanyInfo() = 0;
    /// Opens the VAT registration form.
    virtual void showVATRegistrationInfo() = 0;
    /// Opens the bank account form.
    virtual void showBankAccountInfo() = 0;
    /// Opens the business's shared documents folder outside the app.
    virtual void showInvoiceFolder() = 0;
    /// Signs the user out of this device and returns to the start screen.
    virtual void logOutUser() = 0;
    /// Leaves the menu.
    virtual void done() = 0;
};

}
