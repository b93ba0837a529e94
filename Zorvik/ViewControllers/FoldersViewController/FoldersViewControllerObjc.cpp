#include "Zorvik/ViewControllers/FoldersViewController/FoldersViewControllerObjc.h"

#include "Zorvik/DeviceStorage/DeviceSettingsStore.h"
#include "Zorvik/Events/AnalyticsEvents.h"
#include "Zorvik/ViewControllers/CompanySettingsViewController.h"
#include "Zorvik/ViewControllers/CreateInvoiceViewController.h"
#include "Zorvik/ViewControllers/InvoiceSummaryViewController/InvoiceSummaryViewController.h"
#include "Zorvik/ViewControllers/ReadOnlyInvoiceViewController.h"
#include "Zorvik/ViewControllers/Transitions/Animations/HorizontalViewControllerTransition.h"
#include "Zorvik/ViewControllers/Transitions/Animations/VerticalViewControllerTransition.h"
#include "Zorvik/Views/FolderView/EmptyFolderViewObjc.h"
#include "Zorvik/Views/FolderView/FolderViewObjc.h"
#include "Zorvik/Views/FolderView/InvoiceTableCellViewProviders.h"
#include "Zorvik/Views/FoldersView/FoldersView.h"
#include "Zorvik/Views/TwoButtonDialogView/TwoButtonDialogView.h"
#include "ZorvikAPI/filters/DoneFilter.h"
#include "ZorvikAPI/filters/TodoFilter.h"
#include "ZorvikAPI/foundation_categories/ServerDate.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Application.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NotificationScheduler.h"

namespace zorvik {

using platform::foundation::Array;
using platform::foundation::ArrayRef;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;

// Hears the business's "invoices" for the screen that owns it; the business holds it weakly, so it lapses
// with the screen.
class FoldersViewControllerObjc::InvoicesObserver : public platform::foundation::Observer {
public:
    explicit InvoicesObserver(FoldersViewControllerObjc& screen)
        : m_screen(screen)
    {
    }

    void observeValue(Dictionary&, const std::string&, const platform::foundation::Change& change) override
    {
        m_screen.invoicesChanged(change);
    }

private:
    FoldersViewControllerObjc& m_screen;
};

namespace {

const platform::foundation::Log& foldersLog()
{
    static const platform::foundation::Log log("[Folders]");
    return log;
}

// The screens that come up over the home screen like sheets, of these classes or their subclasses.
bool isSheet(const std::shared_ptr<platform::ui::ViewController>& screen)
{
    return std::dynamic_pointer_cast<CompanySettingsViewController>(screen)
        || std::dynamic_pointer_cast<CreateInvoiceViewController>(screen)
        || std::dynamic_pointer_cast<InvoiceSummaryViewController>(screen);
}

}

FoldersViewControllerObjc::FoldersViewControllerObjc() = default;

FoldersViewControllerObjc::FoldersViewControllerObjc(api::Freelancer freelancer)
    : m_freelancer(std::move(freelancer))
    , m_observer(std::make_shared<InvoicesObserver>(*this))
{
    if (auto business = m_freelancer->business())
        business->record()->addObserver(m_observer, "invoices");
}

FoldersViewControllerObjc::~FoldersViewControllerObjc()
{
    if (!m_freelancer)
        return;
    if (auto business = m_freelancer->business())
        business->record()->removeObserver(m_observer.get(), "invoices");
}

ArrayRef FoldersViewControllerObjc::businessInvoices() const
{
    if (!m_freelancer)
        return nullptr;
    auto business = m_freelancer->business();
    return business ? business->invoices() : nullptr;
}

void FoldersViewControllerObjc::loadView()
{
    auto self = std::static_pointer_cast<FoldersViewControllerObjc>(shared_from_this());
    auto todo = FolderViewObjc::make(EmptyFolderSentViewObjc::make(),
        std::make_shared<SentInvoiceTableCellViewProviderObjc>(self), std::make_shared<api::TodoFilter>());
    todo->setDelegate(self);
    auto done = FolderViewObjc::make(EmptyFolderDoneViewObjc::make(),
        std::make_shared<PaidInvoiceTableCellViewProviderObjc>(self), std::make_shared<api::DoneFilter>());
    done->setDelegate(self);
    auto view = FoldersView::make(m_freelancer.value_or(api::Freelancer(Dictionary::make())), todo, done);
    view->setController(self);
    setInvoices(businessInvoices());
    setView(view);
    m_foldersView = view;
}

void FoldersViewControllerObjc::setInvoices(const ArrayRef& invoices)
{
    m_invoices = invoices;
    scheduleReminders();
    m_badgeNotification.setBadgeNumberWithNumber(0);
}

void FoldersViewControllerObjc::scheduleReminders()
{
    m_invoiceNotification.createMissingLocalNotifications(m_invoices);
}

void FoldersViewControllerObjc::invoicesChanged(const platform::foundation::Change& change)
{
    m_invoices = businessInvoices();
    m_animateFolderUpdatesOnViewDidAppearAction = change.kind == platform::foundation::Change::Kind::Removal
        ? INVOICE_DELETED_ACTION
        : INVOICE_SENT_ACTION;
}

void FoldersViewControllerObjc::viewDidAppear(bool animated)
{
    ViewController::viewDidAppear(animated);
    switch (m_animateFolderUpdatesOnViewDidAppearAction) {
    case INVOICE_DELETED_ACTION:
        m_foldersView->invoiceDeleted(m_invoices);
        break;
    case INVOICE_SENT_ACTION:
        m_foldersView->invoiceSent(m_invoices);
        break;
    default:
        if (isMovingToParent() || !m_listsLoaded)
            m_foldersView->loadInvoices(m_invoices);
        break;
    }
    m_listsLoaded = true;
    m_animateFolderUpdatesOnViewDidAppearAction = NO_ACTION;
}

void FoldersViewControllerObjc::moveInvoice(const DictionaryRef& record, const std::string& folder)
{
    if (!m_freelancer || !record)
        return;
    auto business = m_freelancer->business();
    if (!business)
        return;
    auto self = std::static_pointer_cast<FoldersViewControllerObjc>(shared_from_this());
    std::weak_ptr<FoldersViewControllerObjc> weakSelf = self;
    auto entry = Dictionary::make(
        { { "name", folder }, { "date", api::toServerDateString(platform::foundation::now()) } });
    api::Invoice invoice(record);
    auto rollBack = [weakSelf, record, entry, folder] {
        if (auto screen = weakSelf.lock())
            screen->rollBackMove(record, entry, folder);
    };
    business->moveInvoice(
        invoice, folder, [folder] { foldersLog().write("Invoice moved to " + folder); }, rollBack,
        [rollBack](const platform::http::HttpError&) { rollBack(); });
    auto history = invoice.folders();
    if (!history) {
        history = Array::make();
        record->set("folders", history);
    }
    history->append(entry);
    m_foldersView->invoiceMoved(businessInvoices());
    m_invoiceNotification.invoiceMoved(invoice, folder);
}

void FoldersViewControllerObjc::rollBackMove(
    const DictionaryRef& record, const DictionaryRef& entry, const std::string& folder)
{
    api::Invoice invoice(record);
    if (auto history = invoice.folders()) {
        if (auto index = history->indexOfIdentical(entry))
            history->removeAt(*index);
    }
    if (m_foldersView)
        m_foldersView->invoiceMoved(businessInvoices());
    m_invoiceNotification.invoiceMoved(invoice, folder == "done" ? "todo" : "done");
}

void FoldersViewControllerObjc::createInvoice()
{
    platform::foundation::NotificationCenter::defaultCenter().post(
        AnalyticsEvents::analyticsOpenedCreateInvoiceScreen);
    auto navigation = navigationController();
    if (navigation && m_freelancer)
        navigation->pushViewController(std::make_shared<CreateInvoiceViewController>(*m_freelancer), true);
}

void FoldersViewControllerObjc::showInvoice(const DictionaryRef& invoice)
{
    if (auto navigation = navigationController(); navigation && m_freelancer && invoice)
        navigation->pushViewController(
            std::make_shared<ReadOnlyInvoiceViewController>(*m_freelancer, invoice), true);
}

void FoldersViewControllerObjc::showSettings()
{
    if (auto navigation = navigationController())
        navigation->pushViewController(std::make_shared<CompanySettingsViewController>(), true);
}

void FoldersViewControllerObjc::showInvoiceSummary()
{
    if (auto navigation = navigationController())
        navigation->pushViewController(
            std::make_shared<InvoiceSummaryViewController>(businessInvoices()), true);
}

void FoldersViewControllerObjc::askUserIfTheyWouldLikeToReceiveAPNS()
{
    loadViewIfNeeded();
    m_foldersView->showNotificationInfoMessage("Alerts for late invoices?",
        "Zorvik can let you know when invoices are due. So, no need to track them yourself.", "Not now",
        "Yes, alert me", platform::ui::Image::named("DialogClockIcon"), 0);
    m_foldersView->notificationInfoView()->setController(
        std::static_pointer_cast<FoldersViewControllerObjc>(shared_from_this()));
}

void FoldersViewControllerObjc::negativeButtonPressed(TwoButtonDialogView&)
{
    auto& store = DeviceSettingsStore::sharedStore();
    auto fetched = store.fetchDeviceSettings();
    if (!fetched.ok())
        return;
    auto settings = fetched.value ? *fetched.value : store.createDeviceSettings();
    settings.setHasShownAPNSDialog(true);
    store.updateStore();
}

void FoldersViewControllerObjc::positiveButtonPressed(TwoButtonDialogView&)
{
    platform::ui::Application::shared().registerUserNotificationSettings(
        { platform::ui::UserNotificationSettings::All });
    auto shown = m_foldersView ? m_foldersView->invoices() : nullptr;
    if (!shown || shown->empty())
        return;
    if (auto first = shown->first().dictionary()) {
        InvoiceNotifications notifications;
        if (!notifications.isNotificationScheduledForInvoice(api::Invoice(first)))
            notifications.createLocalNotificationForInvoice(api::Invoice(first));
    }
}

std::shared_ptr<platform::ui::TransitionAnimator> FoldersViewControllerObjc::pushAnimation(
    const std::shared_ptr<platform::ui::ViewController>& pushed)
{
    if (isSheet(pushed))
        return std::make_shared<VerticalViewControllerTransition>(
            VerticalViewControllerTransitionAction::RiseOver);
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromRight);
}

std::shared_ptr<platform::ui::TransitionAnimator> FoldersViewControllerObjc::popAnimation(
    const std::shared_ptr<platform::ui::ViewController>& popped)
{
    if (isSheet(popped)) {
        return std::make_shared<VerticalViewControllerTransition>(
            m_animateFolderUpdatesOnViewDidAppearAction == INVOICE_SENT_ACTION
                ? VerticalViewControllerTransitionAction::RiseAway
                : VerticalViewControllerTransitionAction::DropAway);
    }
    if (m_animateFolderUpdatesOnViewDidAppearAction == INVOICE_DELETED_ACTION)
        return std::make_shared<VerticalViewControllerTransition>(
            VerticalViewControllerTransitionAction::DropAway);
    return std::make_shared<HorizontalViewControllerTransition>(
        HorizontalViewControllerTransitionAction::SlideInFromLeft);
}

}
