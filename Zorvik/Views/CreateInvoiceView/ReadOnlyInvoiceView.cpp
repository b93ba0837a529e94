#include "Zorvik/Views/CreateInvoiceView/ReadOnlyInvoiceView.h"

#include "Zorvik/Controls/EmailTextField.h"
#include "Zorvik/Events/Notifications/InvoiceNotifications.h"
#include "Zorvik/Views/CurrencyControls/CurrencyTextField/CurrencyTextField.h"
#include "Zorvik/Views/MenuView/MenuItem.h"
#include "Zorvik/Views/MenuView/MenuView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "ZorvikAPI/filters/DoneFilter.h"
#include "ZorvikAPI/foundation_categories/ServerDate.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/Button.h"
#include "platform/ui/Color.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace zorvik {

using platform::foundation::DictionaryRef;
using platform::ui::Image;

namespace {

// When the invoice last moved between folders; the day it was sent while it never moved.
std::optional<platform::foundation::Date> lastMove(const api::Invoice& invoice)
{
    auto folders = invoice.folders();
    if (!folders || folders->size() == 0)
        return invoice.sent();
    auto last = folders->values().back().dictionary();
    auto entry = last ? last->get("date") : platform::foundation::Value();
    auto date = entry.string();
    return date ? api::fromServerDateString(*date) : std::nullopt;
}

}

ReadOnlyInvoiceView::ReadOnlyInvoiceView(api::Freelancer sender, DictionaryRef invoice)
    : CreateInvoiceView(std::move(sender), invoice)
    , m_invoice(std::move(invoice))
{
}

std::shared_ptr<ReadOnlyInvoiceView> ReadOnlyInvoiceView::make(
    const api::Freelancer& sender, const DictionaryRef& invoice)
{
    return create<ReadOnlyInvoiceView>(platform::ui::Rect::zero(), sender, invoice);
}

std::shared_ptr<ReadOnlyInvoiceView> ReadOnlyInvoiceView::self()
{
    return std::static_pointer_cast<ReadOnlyInvoiceView>(shared_from_this());
}

void ReadOnlyInvoiceView::construct()
{
    CreateInvoiceView::construct();
    api::Invoice invoice(m_invoice);
    setLineItems(invoice.lineItems());
    lockFields();
    navigationBar()->setPositiveButtonHidden(true);
    setReference(invoice.reference());
    showInvoice();
    enableAndDisplayDeleteButton();
    addLineItemsButton()->setUserInteractionEnabled(true);
    navigationBar()->setText(
        api::DoneFilter::isInvoiceDone(invoice) ? "Paid invoice" : "Outstanding invoice");
    if (auto moved = lastMove(invoice))
        showDate(*moved);
    navigationBar()->setNegativeButtonImage(Image::named("BtnLessThanWhite"));
}

void ReadOnlyInvoiceView::lockFields()
{
    amountTextField()->setEnabled(false);
    descriptionTextField()->setEnabled(false);
    companyNameTextField()->setEnabled(false);
    recipientEmailTextField()->setEnabled(false);

    // The recipient's name opens the recipient's details: a clear button lies over the locked field.
    auto field = companyNameTextField();
    m_recipientButton
        = std::make_shared<platform::ui::Button>(platform::ui::ButtonType::Custom, field->frame());
    field->superview()->addSubview(m_recipientButton);
    std::weak_ptr<const void> lifetime = shared_from_this();
    std::weak_ptr<ReadOnlyInvoiceView> weak = self();
    m_recipientButton->addTarget(
        lifetime, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
            if (auto form = weak.lock())
                form->selectCompany();
        });
    deleteButton()->addTarget(
        lifetime, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
            if (auto form = weak.lock())
                form->deleteInvoice();
        });
}

void ReadOnlyInvoiceView::showInvoice()
{
    api::Invoice invoice(m_invoice);
    showAmountsOf(invoice);
    descriptionTextField()->setText(invoice.descriptionOfWork().value_or(""));
    auto to = invoice.to();
    auto business = to ? to->business() : std::nullopt;
    auto name = business ? business->name().value_or("") : std::string();
    companyNameTextField()->setText(name);
    m_recipientButton->setAccessibilityLabel(name);
    recipientEmailTextField()->setText(to ? to->contact().value_or("") : "");
}

void ReadOnlyInvoiceView::enableAndDisplayDeleteButton()
{
    deleteButton()->setEnabled(true);
    deleteButton()->setAccessibilityLabel("Delete");
    deleteLabel()->setHidden(false);
    deleteIcon()->setHidden(false);
}

void ReadOnlyInvoiceView::deleteInvoice()
{
    auto screen = delegate();
    if (!screen || m_deleting)
        return;
    std::weak_ptr<ReadOnlyInvoiceView> weak = self();
    screen->shouldDeleteInvoice(
        [weak] {
            if (auto form = weak.lock())
                form->deleteOnBackEnd();
        },
        [] {});
}

void ReadOnlyInvoiceView::deleteOnBackEnd()
{
    auto business = sender().business();
    if (m_deleting || !business)
        return;
    // The form stays locked until the answer: a second tap cannot send a second deletion.
    m_deleting = true;
    showLoadingView();
    std::weak_ptr<ReadOnlyInvoiceView> weak = self();
    auto failed = [weak] {
        if (auto form = weak.lock())
            form->deletionFailed();
    };
    business->deleteInvoice(
        api::Invoice(m_invoice),
        [weak] {
            auto form = weak.lock();
            if (!form)
                return;
            InvoiceNotifications().invoiceDeleted(api::Invoice(form->m_invoice));
            form->hideLoadingView();
            form->setUserInteractionEnabled(false);
            form->showInvoiceDeletedView([weak] {
                auto deleted = weak.lock();
                auto screen = deleted ? deleted->delegate() : nullptr;
                if (screen)
                    screen->deletedInvoice(deleted->m_invoice);
            });
        },
        // An invoice the server no longer knows was not deleted by this request: it fails like any other.
        failed, [failed](const auto&) { failed(); });
}

void ReadOnlyInvoiceView::deletionFailed()
{
    hideLoadingView();
    std::weak_ptr<ReadOnlyInvoiceView> weak = self();
    showFailedView([weak] {
        if (auto form = weak.lock())
            form->m_deleting = false;
    });
}

void ReadOnlyInvoiceView::applyNavigationBarThemeForLogo()
{
    navigationBar()->setTitleColour(platform::ui::Color::black());
    navigationBar()->setNegativeButtonImage(Image::named("BtnBlackLessThan"));
}

void ReadOnlyInvoiceView::configureAndShowMoreMenu()
{
    std::weak_ptr<ReadOnlyInvoiceView> weak = self();
    auto duplicate = MenuItem::make(
        Image::named("MenuIconDuplicate"), "Duplicate", std::string(), std::string(), true, [weak] {
            auto form = weak.lock();
            if (!form)
                return;
            if (auto screen = form->delegate())
                screen->showCreateInvoiceView();
            form->hideMenu();
        });
    auto remove = MenuItem::make(
        Image::named("MenuIconDelete"), "Delete", std::string(), std::string(), true, [weak] {
            auto form = weak.lock();
            if (!form)
                return;
            form->deleteInvoice();
            form->hideMenu();
        });
    auto preview
        = MenuItem::make(Image::named("IconPreview"), "Preview", std::nullopt, std::nullopt, true, [weak] {
              auto form = weak.lock();
              auto screen = form ? form->delegate() : nullptr;
              if (screen)
                  screen->goToInvoicePreviewViewWithInvoice(form->m_invoice);
          });
    showMenu(MenuView::make({ duplicate, remove, preview }));
}

}
