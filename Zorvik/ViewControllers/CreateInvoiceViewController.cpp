#include "Zorvik/ViewControllers/CreateInvoiceViewController.h"

#include "Zorvik/Events/AnalyticsEvents.h"
#include "Zorvik/ViewControllers/FoldersViewController/FoldersViewControllerObjc.h"
#include "Zorvik/ViewControllers/InvoicePreviewViewController/InvoicePreviewViewController.h"
#include "Zorvik/ViewControllers/InvoiceReferenceNumberViewController/InvoiceReferenceNumberViewController.h"
#include "Zorvik/ViewControllers/LineItemsViewController.h"
#include "Zorvik/ViewControllers/ProfileForms/BankAccountViewController.h"
#include "Zorvik/ViewControllers/ProfileForms/CompanyProfileViewController.h"
#include "Zorvik/ViewControllers/ProfileForms/VATRegistrationViewController.h"
#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/SearchAddressBookContactViewController.h"
#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/SelectInvoiceRecipientViewController.h"
#include "Zorvik/ViewControllers/Transitions/Animations/HorizontalViewControllerTransition.h"
#include "Zorvik/ViewControllers/Transitions/Animations/VerticalViewControllerTransition.h"
#include "Zorvik/Views/CreateInvoiceView/CreateInvoiceView.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/Invoice.h"
#include "ZorvikAPI/models/Invoices.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/ContactsStore.h"
#include "platform/ui/NavigationController.h"

#include <typeinfo>

namespace zorvik {

using platform::foundation::ArrayRef;
using platform::foundation::DictionaryRef;

namespace {

// The screens that come up over the editor like sheets: exactly these classes, not their subclasses.
bool isSheet(const std::shared_ptr<platform::ui::ViewController>& screen)
{
    if (!screen)
        return false;
    const auto& type = typeid(*screen);
    return type == typeid(LineItemsViewController) || type == typeid(InvoicePreviewViewController);
}

// The one exit question of the program, replaced each time it is asked.
std::shared_ptr<platform::ui::AlertController>& exitQuestion()
{
    static std::shared_ptr<platform::ui::AlertController> question;
    return question;
}

}

CreateInvoiceViewController::CreateInvoiceViewController(api::Freelancer sender, DictionaryRef duplicate)
    : m_from(std::move(sender))
    , m_duplicate(std::move(duplicate))
{
}

std::shared_ptr<CreateInvoiceViewController> CreateInvoiceViewController::self()
{
    return std::static_pointer_cast<CreateInvoiceViewController>(shared_from_this());
}

void CreateInvoiceViewController::loadView()
{
    m_createInvoiceView
        = m_duplicate ? CreateInvoiceView::make(m_from, m_duplicate) : CreateInvoiceView::make(m_from);
    m_createInvoiceView->setController(std::weak_ptr<ContentViewController>(self()));
    m_createInvoiceView->setDelegate(std::weak_ptr<CreateInvoiceViewDelegate>(self()));
    setView(m_createInvoiceView);
}

void CreateInvoiceViewController::viewDidLoad()
{
    ContentViewController::viewDidLoad();
    setNeedsStatusBarAppearanceUpdate();
    determineWhichLogoViewToShow();
}

void CreateInvoiceViewController::viewWillAppear(bool animated)
{
    ContentViewController::viewWillAppear(animated);
    m_createInvoiceView->updateMenu();
}

void CreateInvoiceViewController::viewWillDisappear(bool animated)
{
    ContentViewController::viewWillDisappear(animated);
    m_createInvoiceView->resignFirstResponder();
}

void CreateInvoiceViewController::logoAdded()
{
    ContentViewController::logoAdded();
    m_createInvoiceView->applyNavigationBarThemeForLogo();
}

std::shared_ptr<platform::ui::TransitionAnimator> CreateInvoiceViewController::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>& pushed)
{
    if (isSheet(pushed))
        return std::make_shared<VerticalViewControllerTransition>(
            VerticalViewControllerTransitionAction::RiseOver);
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromRight);
}

std::shared_ptr<platform::ui::TransitionAnimator> CreateInvoiceViewController::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>& popped)
{
    if (isSheet(popped))
        return std::make_shared<VerticalViewControllerTransition>(
            VerticalViewControllerTransitionAction::DropAway);
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromLeft);
}

void CreateInvoiceViewController::showNativeAddressBookContactAccessRequest()
{
    std::weak_ptr<CreateInvoiceViewController> weak = self();
    platform::ui::ContactsStore().requestAccess([weak](bool granted, const std::optional<std::string>&) {
        platform::foundation::mainQueue().async([weak, granted] {
            auto screen = weak.lock();
            if (screen && granted)
                screen->goToContactSearchView();
        });
    });
}

void CreateInvoiceViewController::goToInvoiceReferenceNumberViewWithReferenceSystem(
    const api::SequentialReferenceComponentSystem& referenceSystem)
{
    auto editor = std::make_shared<InvoiceReferenceNumberViewController>(
        m_createInvoiceView->referenceNumber(), referenceSystem);
    editor->setDelegate(std::weak_ptr<InvoiceReferenceNumberDelegate>(self()));
    editor->setModalPresentationStyle(platform::ui::ModalPresentationStyle::OverCurrentContext);
    presentViewController(editor, false);
}

void CreateInvoiceViewController::goToInvoicePreviewViewWithInvoice(const DictionaryRef& invoice)
{
    push(std::make_shared<InvoicePreviewViewController>(invoice));
}

void CreateInvoiceViewController::selectCompany()
{
    push(std::make_shared<SelectInvoiceRecipientViewController>(
        std::weak_ptr<SelectInvoiceRecipientSummaryControllerDelegate>(self()),
        m_createInvoiceView->recipient(), std::weak_ptr<platform::ui::ViewController>(self())));
}

void CreateInvoiceViewController::goToContactSearchView()
{
    auto picker
        = std::make_shared<SearchAddressBookContactViewController>(m_createInvoiceView->recipientEmail());
    picker->setDelegate(std::weak_ptr<AddressBookContactSearchViewDelegate>(self()));
    push(picker);
}

void CreateInvoiceViewController::showBusinessInfo()
{
    push(std::make_shared<CompanyProfileViewController>());
}

void CreateInvoiceViewController::showVATInfo()
{
    push(std::make_shared<VATRegistrationViewController>());
}

void CreateInvoiceViewController::showBankAccountInfo()
{
    push(std::make_shared<BankAccountViewController>());
}

void CreateInvoiceViewController::push(std::shared_ptr<platform::ui::ViewController> screen)
{
    if (auto navigation = navigationController())
        navigation->pushViewController(std::move(screen), true);
}

void CreateInvoiceViewController::navigateBack()
{
    auto navigation = navigationController();
    if (m_createInvoiceView->isEmpty()) {
        if (navigation)
            navigation->popViewController(true);
        return;
    }
    auto question = std::make_shared<platform::ui::AlertController>(
        std::string("Discard this invoice?"), std::nullopt, platform::ui::AlertControllerStyle::ActionSheet);
    question->addAction(
        std::make_shared<platform::ui::AlertAction>("No", platform::ui::AlertActionStyle::Cancel));
    std::weak_ptr<CreateInvoiceViewController> weak = self();
    question->addAction(std::make_shared<platform::ui::AlertAction>(
        "Yes", platform::ui::AlertActionStyle::Default, [weak](platform::ui::AlertAction&) {
            platform::foundation::NotificationCenter::defaultCenter().post(
                AnalyticsEvents::analyticsCancelledCreateInvoice);
            auto screen = weak.lock();
            if (auto stack = screen ? screen->navigationController() : nullptr)
                stack->popViewController(true);
        }));
    exitQuestion() = question;
    presentViewController(question, true);
}

void CreateInvoiceViewController::invoiceIsValid()
{
    m_createInvoiceView->enableSend();
}

void CreateInvoiceViewController::invoiceIsInvalid()
{
    m_createInvoiceView->disableSend();
}

void CreateInvoiceViewController::addLineItems()
{
    auto editor = std::make_shared<LineItemsViewController>();
    editor->setDelegate(std::weak_ptr<LineItemsViewControllerDelegate>(self()));
    // The editor covers the form: the keyboard must not go on typing into the field beneath it.
    m_createInvoiceView->resignFirstResponder();
    presentViewController(editor, false);
    editor->setLineItems(m_createInvoiceView->lineItems());
    setNeedsStatusBarAppearanceUpdate();
}

void CreateInvoiceViewController::sendInvoice(const DictionaryRef& invoice)
{
    if (m_sending)
        return;
    auto business = m_from.business();
    if (!business)
        return;
    m_sending = true;
    m_createInvoiceView->showLoadingView();
    m_createInvoiceView->setUserInteractionEnabled(false);
    std::weak_ptr<CreateInvoiceViewController> weak = self();
    auto failed = [weak] {
        if (auto screen = weak.lock())
            screen->sendFailed();
    };
    business->sendInvoice(
        api::Invoice(invoice),
        [weak](const api::Invoice&) {
            auto screen = weak.lock();
            if (!screen)
                return;
            screen->m_createInvoiceView->showInvoiceSentView([weak] {
                platform::foundation::NotificationCenter::defaultCenter().post(
                    AnalyticsEvents::analyticsSentInvoice);
                if (auto sent = weak.lock())
                    sent->popBackToFoldersViewController();
            });
        },
        // A reference the server already holds is a failure like any other: the form stays for a retry.
        failed, [failed](const auto&) { failed(); });
}

void CreateInvoiceViewController::sendFailed()
{
    m_createInvoiceView->hideLoadingView();
    std::weak_ptr<CreateInvoiceViewController> weak = self();
    m_createInvoiceView->showFailedView([weak] {
        auto screen = weak.lock();
        if (!screen)
            return;
        screen->m_createInvoiceView->setUserInteractionEnabled(true);
        screen->m_sending = false;
    });
}

void CreateInvoiceViewController::popBackToFoldersViewController()
{
    auto self = shared_from_this();
    auto navigation = navigationController();
    if (!navigation)
        return;
    for (const auto& screen : navigation->viewControllers()) {
        if (std::dynamic_pointer_cast<FoldersViewControllerObjc>(screen)) {
            navigation->popToViewController(*screen, true);
            return;
        }
    }
}

void CreateInvoiceViewController::companyConfirmed(const DictionaryRef& business)
{
    m_createInvoiceView->setRecipient(business);
    if (!m_createInvoiceView->recipientEmail().empty())
        return;
    auto sender = m_from.business();
    auto email = api::Invoices(sender ? sender->invoices() : nullptr)
                     .lastEmailAddressForBusiness(api::Business(business));
    if (email)
        m_createInvoiceView->setRecipientEmail(*email);
}

void CreateInvoiceViewController::addContactEmailFromSearch(const std::string& email)
{
    m_createInvoiceView->setRecipientEmail(email);
}

ArrayRef CreateInvoiceViewController::lineItems() const
{
    return m_createInvoiceView->lineItems();
}

void CreateInvoiceViewController::setLineItems(const ArrayRef& lineItems)
{
    m_createInvoiceView->setLineItems(lineItems);
}

void CreateInvoiceViewController::invoiceReferenceNumberUpdated(const api::Reference& reference)
{
    m_createInvoiceView->updateReferenceNumber(reference);
}

}
