#pragma once

#include "Zorvik/Views/ContentView/ContentViewObjc.h"
#include "Zorvik/Views/CreateInvoiceView/CreateInvoiceViewDelegate.h"
#include "Zorvik/Views/CreateInvoiceView/CreateInvoiceViewProtocol.h"
#include "Zorvik/Views/NavigationBar/NavigationBarDelegate.h"
#include "ZorvikAPI/models/Freelancer.h"
#include "ZorvikAPI/models/ReferenceNumberSystems/Reference.h"
#include "ZorvikAPI/models/ReferenceNumberSystems/SequentialReferenceComponentSystem.h"
#include "platform/foundation/Date.h"
#include "platform/ui/TextField.h"

#include <memory>
#include <optional>
#include <string>

namespace platform::ui {
class Button;
class ImageView;
class Label;
}

namespace zorvik::api {
class Invoice;
}

namespace zorvik {

class CurrencyTextField;
class DismissKeyboardAccesoryView;
class EmailTextField;
class InlineVATView;
class MenuItem;
class MenuView;
class SendInvoiceResultView;
class TabOrderObjc;
class TwoButtonDialogView;

/// The New Invoice form (content nib "CreateInvoiceView"): an amount with its VAT line, a description of
/// the work, the recipient business (chosen on another screen, never typed) and the recipient's e-mail
/// address, with the invoice's reference, today's date and a summary of its line items. It keeps the
/// form's state, decides when the form is complete, builds the invoice record, and tells its screen
/// through CreateInvoiceViewDelegate what the user asked for; the screen answers through
/// CreateInvoiceViewProtocol. The More menu, the bank-details question, the one-second result overlays
/// and the contacts permission dialogs belong to the form too.
///
/// The read-only invoice screen's view derives from this one and overrides selectCompany(),
/// applyNavigationBarThemeForLogo(), showMoreMenu() and configureAndShowMoreMenu().
class CreateInvoiceView : public ContentViewObjc,
                          public NavigationBarDelegate,
                          public CreateInvoiceViewProtocol,
                          public platform::ui::TextFieldDelegate {
public:
    /// A form for `sender` (the signed-in freelancer), copying `invoiceToDuplicate` when it is not null;
    /// made with make().
    CreateInvoiceView(api::Freelancer sender, platform::foundation::DictionaryRef invoiceToDuplicate);

    /// A form for a new invoice: empty fields, send disabled, the business's next reference, today's date.
    static std::shared_ptr<CreateInvoiceView> make(const api::Freelancer& sender);
    /// A form pre-filled from `invoice`: the next free counter of its prefix, a copy of its line items
    /// (records of their own), its amount and VAT, description, recipient and e-mail address.
    static std::shared_ptr<CreateInvoiceView> make(
        const api::Freelancer& sender, const platform::foundation::DictionaryRef& invoice);

    std::string className() const override { return "CreateInvoiceView"; }
    /// "CreateInvoiceView".
    std::optional<std::string> contentNib() const override;

    // CreateInvoiceViewProtocol
    void showLoadingView() override;
    void hideLoadingView() override;
    void enableSend() override;
    void disableSend() override;
    void showInvoiceSentView(Completion completion) override;
    void showInvoiceDeletedView(Completion completion) override;
    void showFailedView(Completion completion) override;
    void updateReferenceNumber(const api::Reference& reference) override;
    const platform::foundation::DictionaryRef& recipient() const override { return m_recipient; }
    /// Keeps `business`; when it is not null its name shows and the e-mail field takes the focus; then the
    /// form's validity is checked.
    void setRecipient(const platform::foundation::DictionaryRef& business) override;
    std::string recipientEmail() const override;
    /// Shows `email`; a non-empty one ends editing of the e-mail field; then the validity is checked.
    void setRecipientEmail(const std::string& email) override;
    std::shared_ptr<CreateInvoiceViewDelegate> delegate() const override { return m_delegate.lock(); }
    void setDelegate(const std::weak_ptr<CreateInvoiceViewDelegate>& delegate) override
    {
        m_delegate = delegate;
    }
    bool isEmpty() const override;

    /// Ends editing of the amount, description and e-mail fields; true.
    bool resignFirstResponder() override;
    /// Shows `date` as "dd MMM yyyy" in the device's locale.
    void showDate(platform::foundation::Date date);
    /// Shows `reference` in the reference label.
    void setReference(const std::string& reference);

    /// Checks the four fields: state icons, the amount's accessory button ("Done" or "Next") and the
    /// screen's invoiceIsValid() / invoiceIsInvalid(). An amount of £0.00 counts as missing.
    void checkDocumentValid();
    /// The VAT view takes touches, and the add-items button shows, only while the amount is edited (the
    /// button also while there are line items).
    void setAreAmountOptionsShown();
    /// The VAT view's net amount follows the amount field.
    void setVATAmount();
    /// The amount's accessory button: the focus moves on.
    void donePressed();

    /// The line items (empty ones dropped), or null before any were set.
    const platform::foundation::ArrayRef& lineItems() const { return m_lineItems; }
    /// Takes `items` without their empty ones: the VAT line, the amount (their gross total, not editable)
    /// and the add-items button follow them.
    void setLineItems(const platform::foundation::ArrayRef& items);

    /// "cancel": the screen's navigateBack().
    void negativePressed() override;
    /// The send button: the bank-details question once per user when details are missing, else sending.
    void positivePressed() override;
    bool implementsPositivePressed() const override { return true; }

    /// The invoice as the form holds it: description, reference, amounts (0 with line items; the gross
    /// amount is the VAT view's total for the amount shown), payment term 30, the two parties and the
    /// line items when the form ever had some.
    platform::foundation::DictionaryRef invoice() const;
    /// Locks the form's content and hands invoice() to the screen to send.
    void sendInvoice();
    /// Whether the business's bank account lacks its number or its sort code (no account: both).
    bool isMissingBankDetails() const;
    /// Whether the active device user was asked about bank details (no active user: not asked).
    bool bankAccountDialogHasBeenShown() const;
    /// Stores that the active device user was asked, at once (nothing without an active user).
    void setDialogShownForUser();

    /// The reference label's action: the screen opens the reference editor.
    void showInvoiceReferenceNumberView();
    /// The address-book button's action: the contacts permission flow.
    void showAddContactFromAddressBookView();
    /// The add-items button's action: the screen's addLineItems().
    void addLineItems();
    /// The amount field takes the focus.
    void amountBecomeFirstResponder();

    /// The company field asks the screen to choose the recipient (it never opens a keyboard).
    virtual void selectCompany();
    /// The look for a business with a logo: black title and a teal send button.
    virtual void applyNavigationBarThemeForLogo();
    /// The More button's action.
    virtual void showMoreMenu();
    /// Builds the four rows (Business, VAT, Bank account, Preview) and shows a new menu over the form.
    virtual void configureAndShowMoreMenu();
    /// Brings the menu's rows up to date (the screen calls it when it shows again).
    void updateMenu();
    /// Sets the rows' details from the business, when a menu of four rows exists.
    void updateMenuItems();

    /// A change of the business's name refreshes the menu rows.
    void observeValue(platform::foundation::Dictionary& object, const std::string& key,
        const platform::foundation::Change& change) override;

    bool shouldBeginEditing(platform::ui::TextField& field) override;

    const api::Freelancer& sender() const { return m_sender; }
    const api::Reference& referenceNumber() const { return *m_referenceNumber; }
    const api::SequentialReferenceComponentSystem& referenceSystem() const { return *m_referenceSystem; }
    const std::shared_ptr<platform::ui::Button>& sendButton() const { return m_sendButton; }
    const std::shared_ptr<MenuView>& menuView() const { return m_menuView; }
    const std::shared_ptr<CurrencyTextField>& amountTextField() const { return m_amountTextField; }
    const std::shared_ptr<InlineVATView>& vatView() const { return m_vatView; }
    const std::shared_ptr<platform::ui::TextField>& descriptionTextField() const
    {
        return m_descriptionTextField;
    }
    const std::shared_ptr<platform::ui::TextField>& companyNameTextField() const
    {
        return m_companyNameTextField;
    }
    const std::shared_ptr<EmailTextField>& recipientEmailTextField() const
    {
        return m_recipientEmailTextField;
    }
    const std::shared_ptr<SendInvoiceResultView>& resultView() const { return m_resultView; }
    const std::shared_ptr<platform::ui::Label>& dateLabel() const { return m_dateLabel; }
    const std::shared_ptr<platform::ui::Label>& referenceLabel() const { return m_referenceLabel; }
    const std::shared_ptr<platform::ui::Button>& addLineItemsButton() const { return m_addLineItemsButton; }
    const std::shared_ptr<platform::ui::ImageView>& descriptionImage() const { return m_descriptionImage; }
    const std::shared_ptr<platform::ui::ImageView>& companyNameImage() const { return m_companyNameImage; }
    const std::shared_ptr<platform::ui::ImageView>& emailImage() const { return m_emailImage; }
    const std::shared_ptr<platform::ui::Button>& deleteButton() const { return m_deleteButton; }
    const std::shared_ptr<platform::ui::Label>& deleteLabel() const { return m_deleteLabel; }
    const std::shared_ptr<platform::ui::ImageView>& deleteIcon() const { return m_deleteIcon; }
    const std::shared_ptr<DismissKeyboardAccesoryView>& amountAccessory() const { return m_amountAccessory; }

protected:
    void construct() override;
    /// Shows the amount and VAT of `invoice`: with line items that carry VAT, its gross amount and their VAT;
    /// else, when its net and gross amounts differ, its net amount with VAT added; else its net amount.
    void showAmountsOf(const api::Invoice& invoice);
    /// Keeps `menu` as the menu and shows it over the form.
    void showMenu(std::shared_ptr<MenuView> menu);
    /// Animates the menu away, when one shows.
    void hideMenu();

private:
    void constructForNewInvoice();
    void copyInvoice(const platform::foundation::DictionaryRef& invoice);
    void wireFields();
    void pushSendButton(const std::string& prefix);
    void updateVATViewForLineItems(const platform::foundation::ArrayRef& items);
    void updateAmountForLineItems(const platform::foundation::ArrayRef& items, bool hadItems);
    void updateAddItemsButton(const platform::foundation::ArrayRef& items);
    void showResult(const std::string& icon, const std::string& text, bool unlock, Completion completion);
    void showMissingBankDetailsDialog();
    void showAddressBookContactsAccessRequestDialog();
    void showGoToAppSettingsDialog();
    void checkForMissingBankDetailsForMenuItem(MenuItem& item);
    std::shared_ptr<CreateInvoiceView> self();

    api::Freelancer m_sender;
    platform::foundation::DictionaryRef m_invoiceToDuplicate;
    std::weak_ptr<CreateInvoiceViewDelegate> m_delegate;
    platform::foundation::ArrayRef m_lineItems;
    platform::foundation::DictionaryRef m_recipient;
    std::optional<api::Reference> m_referenceNumber;
    std::optional<api::SequentialReferenceComponentSystem> m_referenceSystem;
    std::shared_ptr<platform::ui::Button> m_sendButton;
    std::shared_ptr<TabOrderObjc> m_tabOrder;
    std::shared_ptr<DismissKeyboardAccesoryView> m_amountAccessory;
    std::shared_ptr<MenuView> m_menuView;

    std::shared_ptr<platform::ui::Button> m_addLineItemsButton;
    std::shared_ptr<CurrencyTextField> m_amountTextField;
    std::shared_ptr<InlineVATView> m_vatView;
    std::shared_ptr<platform::ui::Button> m_moreButton;
    std::shared_ptr<platform::ui::TextField> m_descriptionTextField;
    std::shared_ptr<platform::ui::TextField> m_companyNameTextField;
    std::shared_ptr<EmailTextField> m_recipientEmailTextField;
    std::shared_ptr<SendInvoiceResultView> m_resultView;
    std::shared_ptr<platform::ui::Label> m_dateLabel;
    std::shared_ptr<platform::ui::Label> m_referenceLabel;
    std::shared_ptr<platform::ui::ImageView> m_descriptionImage;
    std::shared_ptr<platform::ui::ImageView> m_companyNameImage;
    std::shared_ptr<platform::ui::ImageView> m_emailImage;
    std::shared_ptr<platform::ui::ImageView> m_deleteIcon;
    std::shared_ptr<platform::ui::Label> m_deleteLabel;
    std::shared_ptr<platform::ui::Button> m_deleteButton;
    std::shared_ptr<platform::ui::Button> m_addContactFromAddressBookButton;
    std::shared_ptr<platform::ui::ImageView> m_addContactFromAddressBookImage;
};

/// Registers the content nib "CreateInvoiceView".
void registerCreateInvoiceViewNib();

}
