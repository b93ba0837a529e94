#pragma once

#include "Zorvik/ViewControllers/Transitions/ViewControllerTransitionDelegate.h"
#include "Zorvik/Views/InvoiceReceiverView/InvoiceReceiverControllerProtocol.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace zorvik {

class InvoiceReceiverView;

/// The recipient details form on a screen of its own: the read-only invoice screen shows a sent invoice's
/// recipient on it ("Invoice sent to"). Leaving the form pops the screen.
class InvoiceRecipientViewControllerObjc : public platform::ui::ViewController,
                                           public ViewControllerTransitionDelegate,
                                           public InvoiceReceiverControllerProtocol {
public:
    /// A screen showing `business`, read-only or not.
    InvoiceRecipientViewControllerObjc(platform::foundation::DictionaryRef business, bool isReadOnly);

    std::string className() const override { return "InvoiceRecipientViewControllerObjc"; }

    /// The form, given the business, the read-only flag and this screen as its controller.
    void loadView() override;

    /// A new instant transition, whatever screen arrives.
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(
        const std::shared_ptr<platform::ui::ViewController>& pushed) override;
    /// A new instant transition, whatever screen leaves.
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(
        const std::shared_ptr<platform::ui::ViewController>& popped) override;

    /// Nothing: this screen does not search.
    void searchCompanies() override { }
    /// Pops this screen, animated; the record is not used.
    void businessConfirmed(const platform::foundation::DictionaryRef& business) override;
    /// Nothing.
    void cancelled() override { }

    const platform::foundation::DictionaryRef& business() const { return m_business; }
    bool isReadOnly() const { return m_isReadOnly; }
    /// The form, once the view is loaded.
    const std::shared_ptr<InvoiceReceiverView>& receiverView() const { return m_receiverView; }

private:
    platform::foundation::DictionaryRef m_business;
    bool m_isReadOnly { false };
    std::shared_ptr<InvoiceReceiverView> m_receiverView;
};

}
