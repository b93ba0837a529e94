#include "Zorvik/Views/FoldersView/FoldersView.h"

#include "Zorvik/Events/Notifications/InvoiceNotifications.h"
#include "Zorvik/Views/FolderView/FolderViewObjc.h"
#include "Zorvik/Views/FoldersView/FoldersControllerProtocol.h"
#include "Zorvik/Views/TwoButtonDialogView/TwoButtonDialogView.h"
#include "Zorvik/Views/UserHintsView/FoldersTutorialView.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NotificationScheduler.h"

namespace zorvik {

FoldersView::FoldersView()
{
    declareOutlet("viewHolder", m_viewHolder);
    declareOutlet("sentButton", m_sentButton);
    declareOutlet("doneButton", m_doneButton);
    declareOutlet("sentImageFlash", m_sentImageFlash);
    declareOutlet("doneImageFlash", m_doneImageFlash);
    declareOutlet("tutorialView", m_tutorialView);
    declareAction("showSentView", [this](platform::ui::View&) { showSentView(); });
    declareAction("showDoneView", [this](platform::ui::View&) { showDoneView(); });
    declareAction("createInvoicePressed", [this](platform::ui::View&) { createInvoicePressed(); });
    declareAction("showSettings", [this](platform::ui::View&) { showSettings(); });
    declareAction("showInvoiceSummary", [this](platform::ui::View&) { showInvoiceSummary(); });
}

std::shared_ptr<FoldersView> FoldersView::make(api::Freelancer freelancer,
    std::shared_ptr<FolderViewObjc> todoView, std::shared_ptr<FolderViewObjc> doneView)
{
    auto view = create<FoldersView>();
    view->m_sentView = std::move(todoView);
    view->m_doneView = std::move(doneView);
    auto business = freelancer.business();
    view->tutorialView()->setInvoices(business ? business->invoices() : nullptr);
    view->m_freelancer = std::move(freelancer);
    view->showSentView();
    return view;
}

void FoldersView::openFolder(const std::shared_ptr<FolderViewObjc>& open,
    const std::shared_ptr<FolderViewObjc>& closed, unsigned index)
{
    closed->removeFromSuperview();
    tutorialView()->viewSwitched(index);
    if (isOpenFolder(*open))
        return;
    sentButton()->setEnabled(index != 0);
    doneButton()->setEnabled(index == 0);
    auto holder = viewHolder();
    open->setFrame({ 0, 0, holder->bounds().width(), holder->bounds().height() });
    holder->addSubview(open);
    constrainViewToMatchParent(open, holder);
}

void FoldersView::showSentView()
{
    openFolder(m_sentView, m_doneView, 0);
}

void FoldersView::showDoneView()
{
    openFolder(m_doneView, m_sentView, 1);
}

bool FoldersView::isSentFolderOpen() const
{
    return isOpenFolder(*m_sentView);
}

void FoldersView::setInvoices(const platform::foundation::ArrayRef& invoices)
{
    m_invoices = invoices;
    m_sentView->setInvoices(invoices);
    m_doneView->setInvoices(invoices);
    tutorialView()->setInvoices(invoices);
}

void FoldersView::loadInvoices(const platform::foundation::ArrayRef& invoices)
{
    setInvoices(invoices);
}

void FoldersView::invoiceDeleted(const platform::foundation::ArrayRef& invoices)
{
    setInvoices(invoices);
}

void FoldersView::invoiceSent(const platform::foundation::ArrayRef& invoices)
{
    setInvoices(invoices);
    if (isOpenFolder(*m_doneView))
        flash(sentImageFlash());
}

void FoldersView::invoiceMoved(const platform::foundation::ArrayRef& invoices)
{
    setInvoices(invoices);
    tutorialView()->invoiceSwiped();
    flash(closedFolderImageView());
}

std::shared_ptr<platform::ui::ImageView> FoldersView::closedFolderImageView() const
{
    return isSentFolderOpen() ? doneImageFlash() : sentImageFlash();
}

void FoldersView::flash(const std::shared_ptr<platform::ui::ImageView>& image)
{
    imageViewChangeAlphaWithDelay(0, image, m_imageVisible);
    imageViewChangeAlphaWithDelay(kFlashDuration, image, m_imageNotVisible);
}

void FoldersView::imageViewChangeAlphaWithDelay(
    double delay, const std::shared_ptr<platform::ui::ImageView>& image, double alpha)
{
    std::weak_ptr<platform::ui::ImageView> weakImage = image;
    platform::foundation::mainQueue().after(delay, [weakImage, alpha] {
        if (auto shown = weakImage.lock())
            shown->setAlpha(alpha);
    });
}

void FoldersView::createInvoicePressed()
{
    auto self = shared_from_this();
    if (auto listener = controller())
        listener->createInvoice();
    tutorialView()->invoiceCreated();
}

void FoldersView::showSettings()
{
    auto self = shared_from_this();
    if (auto listener = controller())
        listener->showSettings();
}

void FoldersView::showInvoiceSummary()
{
    auto self = shared_from_this();
    if (auto listener = controller())
        listener->showInvoiceSummary();
}

void FoldersView::didMoveToSuperview()
{
    XibViewObjcmb::didMoveToSuperview();
    if (auto tutorial = tutorialView())
        tutorial->setObscured(superview() == nullptr);
}

void FoldersView::showNotificationInfoMessage(const std::string& title, const std::string& message,
    const std::string& noButtonText, const std::string& yesButtonText,
    const std::shared_ptr<const platform::ui::Image>& icon, unsigned event)
{
    m_notificationInfoView = TwoButtonDialogView::make();
    m_notificationInfoView->setAlertTitleLabelText(title);
    m_notificationInfoView->setAlertMessageLabelText(message);
    m_notificationInfoView->setAlertNegativeButtonText(noButtonText);
    m_notificationInfoView->setAlertPositiveButtonText(yesButtonText);
    m_notificationInfoView->setIconImage(icon);
    m_event = event;
    std::weak_ptr<FoldersView> weakSelf = std::static_pointer_cast<FoldersView>(shared_from_this());
    m_notificationInfoView->showInParent(
        shared_from_this(), [] {},
        [weakSelf] {
            platform::ui::Application::shared().registerUserNotificationSettings(
                { platform::ui::UserNotificationSettings::All });
            auto self = weakSelf.lock();
            if (!self || !self->m_invoices || self->m_invoices->empty())
                return;
            auto first = self->m_invoices->first().dictionary();
            if (!first)
                return;
            InvoiceNotifications notifications;
            api::Invoice invoice(first);
            if (!notifications.isNotificationScheduledForInvoice(invoice))
                notifications.createLocalNotificationForInvoice(invoice);
        });
}

}
