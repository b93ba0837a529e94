#pragma once

#include "Zorvik/Events/Notifications/BadgeNotifications.h"
#include "Zorvik/Events/Notifications/InvoiceNotifications.h"
#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"
#include "Zorvik/Views/FolderView/InvoiceTableCellDelegate.h"
#include "Zorvik/Views/FoldersView/FoldersControllerProtocol.h"
#include "Zorvik/Views/TwoButtonDialogView/TwoButtonDialogControllerProtocol.h"
#include "ZorvikAPI/models/Freelancer.h"
#include "platform/foundation/Observation.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace zorvik {

class FoldersView;

/// The home screen with the To-Do and Done folders of the signed-in freelancer's business.
///
/// It observes the business's "invoices": a change made while another screen is on top (a send, a delete)
/// is remembered and shown, animated, when the home screen next appears. Each time the list is set, the
/// reminders of invoices that lack one are scheduled and the icon badge goes to 0. A swipe moves an
/// invoice at once (its folder history gains the entry, the lists change, its reminder follows) and asks
/// the back-end; when the back-end refuses (an error, or an invoice it no longer knows) the entry is taken
/// out again and the row returns to its former folder.
class FoldersViewControllerObjc : public platform::ui::ViewController,
                                  public ViewControllerTransitionDelegate,
                                  public FoldersControllerProtocol,
                                  public InvoiceTableCellDelegate,
                                  public TwoButtonDialogControllerProtocol {
public:
    /// Nothing special happens to the lists at the next appearance.
    static constexpr unsigned NO_ACTION = 0;
    /// An invoice was added: the lists animate it in at the next appearance.
    static constexpr unsigned INVOICE_SENT_ACTION = 1;
    /// An invoice was removed: the lists animate it out at the next appearance.
    static constexpr unsigned INVOICE_DELETED_ACTION = 2;

    /// A home screen without a freelancer: empty folders.
    FoldersViewControllerObjc();
    /// The home screen of `freelancer`, whose business holds the invoices; observes them from now on.
    explicit FoldersViewControllerObjc(api::Freelancer freelancer);
    ~FoldersViewControllerObjc() override;

    std::string className() const override { return "FoldersViewControllerObjc"; }

    /// The freelancer whose invoices the screen shows, or nullopt.
    const std::optional<api::Freelancer>& freelancer() const { return m_freelancer; }

    /// Builds the two folder lists and the folders view, and hands them the invoices.
    void loadView() override;
    /// Shows the change remembered since the last appearance; the first appearance (and any after a push)
    /// loads the lists.
    void viewDidAppear(bool animated) override;

    /// The invoices handed to the screen (the business's own list).
    const platform::foundation::ArrayRef& invoices() const { return m_invoices; }
    /// Keeps the list, schedules the missing reminders and sets the badge to 0.
    void setInvoices(const platform::foundation::ArrayRef& invoices);
    /// The same as setInvoices().
    void loadInvoices(const platform::foundation::ArrayRef& invoices) { setInvoices(invoices); }
    /// The view, once loaded.
    const std::shared_ptr<FoldersView>& foldersView() const { return m_foldersView; }

    /// Moves `invoice` to `folder` at once and on the back-end; rolls back when the back-end refuses.
    void moveInvoice(const platform::foundation::DictionaryRef& invoice, const std::string& folder) override;

    void createInvoice() override;
    void showInvoice(const platform::foundation::DictionaryRef& invoice) override;
    void showSettings() override;
    void showInvoiceSummary() override;

    /// Asks whether the user wants alerts for late invoices.
    void askUserIfTheyWouldLikeToReceiveAPNS();
    /// "Not now": the device remembers the question was asked.
    void negativeButtonPressed(TwoButtonDialogView& dialog) override;
    /// "Yes, alert me": asks for notification permission and schedules the first invoice's reminder.
    void positiveButtonPressed(TwoButtonDialogView& dialog) override;

    /// The settings, create-invoice and summary screens (and their subclasses) arrive rising over this one;
    /// any other screen slides in from the right.
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed) override;
    /// The settings, create-invoice and summary screens (and their subclasses) leave rising away when an
    /// invoice was sent, else dropping away; any other screen leaves dropping away when an invoice was
    /// deleted, else as this one slides in from the left.
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped) override;

    /// What the lists do at the next appearance: NO_ACTION, INVOICE_SENT_ACTION or INVOICE_DELETED_ACTION.
    unsigned animateFolderUpdatesOnViewDidAppearAction() const
    {
        return m_animateFolderUpdatesOnViewDidAppearAction;
    }
    /// Sets what the lists do at the next appearance.
    void setAnimateFolderUpdatesOnViewDidAppearAction(unsigned action)
    {
        m_animateFolderUpdatesOnViewDidAppearAction = action;
    }

private:
    class InvoicesObserver;

    void invoicesChanged(const platform::foundation::Change& change);
    platform::foundation::ArrayRef businessInvoices() const;
    void scheduleReminders();
    void rollBackMove(const platform::foundation::DictionaryRef& invoice,
        const platform::foundation::DictionaryRef& entry, const std::string& folder);

    std::optional<api::Freelancer> m_freelancer;
    platform::foundation::ArrayRef m_invoices;
    std::shared_ptr<FoldersView> m_foldersView;
    std::shared_ptr<InvoicesObserver> m_observer;
    unsigned m_animateFolderUpdatesOnViewDidAppearAction { NO_ACTION };
    bool m_listsLoaded { false };
    InvoiceNotifications m_invoiceNotification;
    BadgeNotifications m_badgeNotification;
};

}
