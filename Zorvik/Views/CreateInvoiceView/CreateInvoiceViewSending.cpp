#include "Zorvik/DeviceStorage/UserStore.h"
#include "Zorvik/Views/Categories/FindFirstResponder.h"
#include "Zorvik/Views/Colours/ColoursObjc.h"
#include "Zorvik/Views/CreateInvoiceView/CreateInvoiceView.h"
#include "Zorvik/Views/CurrencyControls/CurrencyTextField/CurrencyTextField.h"
#include "Zorvik/Views/InlineVATView/InlineVATView.h"
#include "Zorvik/Views/MenuView/MenuItem.h"
#include "Zorvik/Views/MenuView/MenuView.h"
#include "Zorvik/Views/SendInvoiceResultView/SendInvoiceResultView.h"
#include "Zorvik/Views/TwoButtonDialogView/TwoButtonDialogView.h"
#include "ZorvikAPI/foundation_categories/ServerDate.h"
#include "ZorvikAPI/models/BankAccount.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/Contact.h"
#include "ZorvikAPI/models/Invoice.h"
#include "ZorvikAPI/models/VATRegistration.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/Application.h"
#include "platform/ui/ContactsStore.h"
#include "platform/ui/Image.h"

namespace zorvik {

using platform::foundation::DictionaryRef;
using platform::ui::Color;
using platform::ui::Image;

namespace {

// How long a result overlay stays.
constexpr double kOverlaySeconds = 1.0;
// The platform's address of the app's own page in the system settings.
constexpr const char* kSettingsURL = "app-settings:";

std::optional<std::string> registrationNumberIfRegistered(const std::optional<api::Business>& business)
{
    auto registration = business ? business->vatRegistration() : std::nullopt;
    if (!registration || !registration->isRegistered())
        return std::nullopt;
    return registration->registrationNumber();
}

std::pair<std::string, std::string> bankDetails(const std::optional<api::Business>& business)
{
    auto account = business ? business->bankAccount() : std::nullopt;
    if (!account)
        return {};
    return { account->accountNumber(), account->sortCode() };
}

}

DictionaryRef CreateInvoiceView::invoice() const
{
    auto business = m_sender.business();
    auto from = api::Contact::withEmail(m_sender.email(), business);
    auto to = api::Contact::withEmail(
        recipientEmail(), m_recipient ? std::optional(api::Business(m_recipient)) : std::nullopt);
    // The amounts come from the amount shown, whatever the VAT line last heard from the keyboard; with line
    // items the record carries 0 and the items carry the amounts.
    std::int64_t net = m_amountTextField->amount();
    std::int64_t gross = net;
    if (!m_lineItems || m_lineItems->size() == 0) {
        m_vatView->setNetAmount(net);
        gross = m_vatView->total();
    }
    auto invoice = api::Invoice::invoiceWithDescription(
        m_descriptionTextField->text(), *m_referenceNumber, net, gross, 30, from, to);
    if (m_lineItems)
        invoice.setLineItems(m_lineItems);
    return invoice.record();
}

void CreateInvoiceView::positivePressed()
{
    FindFirstResponder::resignCurrentResponder(*this);
    if (!bankAccountDialogHasBeenShown() && isMissingBankDetails()) {
        showMissingBankDetailsDialog();
        setDialogShownForUser();
        return;
    }
    sendInvoice();
}

void CreateInvoiceView::sendInvoice()
{
    contentHolder()->setUserInteractionEnabled(false);
    if (auto screen = delegate())
        screen->sendInvoice(invoice());
}

bool CreateInvoiceView::isMissingBankDetails() const
{
    auto [number, sortCode] = bankDetails(m_sender.business());
    return number.empty() || sortCode.empty();
}

bool CreateInvoiceView::bankAccountDialogHasBeenShown() const
{
    auto user = UserStore::sharedStore().fetchActiveUser();
    return user && user->hasShownBankAccountDetailsDialog();
}

void CreateInvoiceView::setDialogShownForUser()
{
    auto& store = UserStore::sharedStore();
    auto user = store.fetchActiveUser();
    if (!user)
        return;
    user->setHasShownBankAccountDetailsDialog(true);
    store.updateStore();
}

void CreateInvoiceView::showMissingBankDetailsDialog()
{
    auto dialog = TwoButtonDialogView::make();
    dialog->setAlertTitleLabelText("Let's get paid!");
    dialog->setAlertMessageLabelText("Would you like to add your bank details to the invoice?");
    dialog->setAlertNegativeButtonText("No, send now");
    dialog->setAlertPositiveButtonText("Yes, add info");
    dialog->setIconImage(Image::named("DialogBankIcon"));
    std::weak_ptr<CreateInvoiceView> weak = self();
    dialog->showInParent(
        shared_from_this(),
        [weak] {
            if (auto form = weak.lock())
                form->sendInvoice();
        },
        [weak] {
            if (auto form = weak.lock())
                form->configureAndShowMoreMenu();
        });
}

void CreateInvoiceView::showInvoiceSentView(Completion completion)
{
    showResult("ActionIconSent", "Sent", false, std::move(completion));
}

void CreateInvoiceView::showInvoiceDeletedView(Completion completion)
{
    showResult("ActionIconDelete", "Deleted", false, std::move(completion));
}

void CreateInvoiceView::showFailedView(Completion completion)
{
    showResult("ActionIconFailed", "Oops", true, std::move(completion));
}

void CreateInvoiceView::showResult(
    const std::string& icon, const std::string& text, bool unlock, Completion completion)
{
    m_resultView->setIcon(Image::named(icon));
    m_resultView->setText(text);
    m_resultView->setHidden(false);
    std::weak_ptr<CreateInvoiceView> weak = self();
    platform::foundation::mainQueue().after(
        kOverlaySeconds, [weak, unlock, completion = std::move(completion)] {
            if (auto form = weak.lock()) {
                form->m_resultView->setHidden(true);
                if (unlock)
                    form->contentHolder()->setUserInteractionEnabled(true);
            }
            if (completion)
                completion();
        });
}

void CreateInvoiceView::showMoreMenu()
{
    configureAndShowMoreMenu();
}

void CreateInvoiceView::configureAndShowMoreMenu()
{
    auto business = m_sender.business();
    std::weak_ptr<CreateInvoiceView> weak = self();
    auto ask = [weak](void (CreateInvoiceViewDelegate::*request)()) {
        return [weak, request] {
            auto form = weak.lock();
            auto screen = form ? form->delegate() : nullptr;
            if (screen)
                ((*screen).*request)();
        };
    };
    auto [number, sortCode] = bankDetails(business);
    auto businessRow = MenuItem::make(Image::named("IconCompanyDetail"), "Business",
        business ? business->name() : std::nullopt, std::string(), false,
        ask(&CreateInvoiceViewDelegate::showBusinessInfo));
    auto vatRow = MenuItem::make(Image::named("IconVATInfo"), "VAT", registrationNumberIfRegistered(business),
        std::string(), false, ask(&CreateInvoiceViewDelegate::showVATInfo));
    auto bankRow = MenuItem::make(Image::named("IconPaymentInfo"), "Bank account", sortCode, number, false,
        ask(&CreateInvoiceViewDelegate::showBankAccountInfo));
    auto previewRow
        = MenuItem::make(Image::named("IconPreview"), "Preview", std::nullopt, std::nullopt, true, [weak] {
              auto form = weak.lock();
              auto screen = form ? form->delegate() : nullptr;
              if (!screen)
                  return;
              auto invoice = form->invoice();
              invoice->set("sent", api::toServerDateString(platform::foundation::now()));
              api::Invoice(invoice).detachSenderInvoices();
              screen->goToInvoicePreviewViewWithInvoice(invoice);
          });
    bankRow->updateItemTopExtraDetailWithColour(ColoursObjc::teal(), 1);
    bankRow->updateItemBottomExtraDetailWithColour(ColoursObjc::teal(), 1);
    checkForMissingBankDetailsForMenuItem(*bankRow);
    showMenu(MenuView::make({ businessRow, vatRow, bankRow, previewRow }));
}

void CreateInvoiceView::showMenu(std::shared_ptr<MenuView> menu)
{
    m_menuView = std::move(menu);
    m_menuView->showInView(shared_from_this());
}

void CreateInvoiceView::hideMenu()
{
    if (m_menuView && m_menuView->superview())
        m_menuView->hideView(shared_from_this());
}

void CreateInvoiceView::updateMenu()
{
    updateMenuItems();
}

void CreateInvoiceView::updateMenuItems()
{
    if (!m_menuView || m_menuView->menuItems().size() != 4)
        return;
    auto business = m_sender.business();
    const auto& rows = m_menuView->menuItems();
    rows[0]->updateItemBottomExtraDetailWithText(business ? business->name() : std::nullopt);
    rows[1]->updateItemBottomExtraDetailWithText(registrationNumberIfRegistered(business));
    auto [number, sortCode] = bankDetails(business);
    rows[2]->updateItemTopExtraDetailWithText(number, ColoursObjc::teal(), 1);
    rows[2]->updateItemBottomExtraDetailWithText(sortCode, ColoursObjc::teal(), 1);
    checkForMissingBankDetailsForMenuItem(*rows[2]);
}

void CreateInvoiceView::checkForMissingBankDetailsForMenuItem(MenuItem& item)
{
    bool noNumber = item.isEmptyTextFieldForTopExtraDetail();
    bool noSortCode = item.isEmptyTextFieldForBottomExtraDetail();
    if (noNumber == noSortCode)
        return;
    if (noNumber)
        item.updateItemTopExtraDetailWithText(std::string("add account no."), Color::black(), 0.4);
    else
        item.updateItemBottomExtraDetailWithText(std::string("add sort code."), Color::black(), 0.4);
}

void CreateInvoiceView::observeValue(
    platform::foundation::Dictionary&, const std::string&, const platform::foundation::Change&)
{
    updateMenuItems();
}

void CreateInvoiceView::showAddContactFromAddressBookView()
{
    switch (platform::ui::ContactsStore::authorizationStatus()) {
    case platform::ui::ContactsAuthorizationStatus::NotDetermined:
        showAddressBookContactsAccessRequestDialog();
        break;
    case platform::ui::ContactsAuthorizationStatus::Denied:
        showGoToAppSettingsDialog();
        break;
    default:
        if (auto screen = delegate())
            screen->goToContactSearchView();
    }
}

void CreateInvoiceView::showAddressBookContactsAccessRequestDialog()
{
    FindFirstResponder::resignCurrentResponder(*this);
    auto dialog = TwoButtonDialogView::make();
    dialog->setAlertTitleLabelText("Use your phone contacts?");
    dialog->setAlertMessageLabelText(
        "This will let you add email addresses straight from your contact list.");
    dialog->setAlertNegativeButtonText("Not Now");
    dialog->setAlertPositiveButtonText("OK");
    dialog->setIconImage(Image::named("IconContacts"));
    std::weak_ptr<CreateInvoiceView> weak = self();
    dialog->showInParent(shared_from_this(), {}, [weak] {
        auto form = weak.lock();
        if (auto screen = form ? form->delegate() : nullptr)
            screen->showNativeAddressBookContactAccessRequest();
    });
}

void CreateInvoiceView::showGoToAppSettingsDialog()
{
    FindFirstResponder::resignCurrentResponder(*this);
    auto dialog = TwoButtonDialogView::make();
    dialog->setAlertTitleLabelText("Allow access to contacts");
    dialog->setAlertMessageLabelText("Go to settings to provide Zorvik with access.");
    dialog->setAlertNegativeButtonText("Not Now");
    dialog->setAlertPositiveButtonText("Go to Settings");
    dialog->setIconImage(Image::named("IconContacts"));
    dialog->showInParent(
        shared_from_this(), {}, [] { platform::ui::Application::shared().openURL(kSettingsURL); });
}

}
