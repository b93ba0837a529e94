#pragma once

#include "Zorvik/ViewControllers/LineItemsViewControllerDelegate.h"
#include "Zorvik/Views/LineItemsView/LineItemsView.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace zorvik {

/// The line-items screen of the invoice editor, presented over the full screen. Its view is a
/// LineItemsView, whose controller it is: save keeps the list in memory only, done hands the list to the
/// delegate and dismisses the screen, and the cancel and delete questions are action sheets presented
/// without animation.
///
/// The opener presents it without animation, then gives it the list with setLineItems() (and, for a sent
/// invoice, setReadOnly(true) before presenting).
class LineItemsViewController : public platform::ui::ViewController, public LineItemsViewDelegate {
public:
    LineItemsViewController();

    std::string className() const override { return "LineItemsViewController"; }

    /// Makes the LineItemsView and becomes its controller.
    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    /// Dark content, except while being dismissed, when it is that of the screen beneath.
    platform::ui::StatusBarStyle preferredStatusBarStyle() const override;

    /// The delegate, or null.
    std::shared_ptr<LineItemsViewControllerDelegate> delegate() const { return m_delegate.lock(); }
    /// Sets the delegate, held weakly.
    void setDelegate(std::weak_ptr<LineItemsViewControllerDelegate> delegate)
    {
        m_delegate = std::move(delegate);
    }
    /// The list shown.
    platform::foundation::ArrayRef lineItems();
    /// Shows the list.
    void setLineItems(const platform::foundation::ArrayRef& lineItems);
    bool readOnly();
    void setReadOnly(bool readOnly);
    /// The view, loaded on first use.
    std::shared_ptr<LineItemsView> lineItemsView();

    /// Hands the list to the delegate and dismisses the screen, animated.
    void done() override;
    /// Calls `saved` at once with the list; nothing is sent anywhere.
    void save(SavedBlock saved, SaveFailedBlock saveFailed) override;
    /// "Discard last changes?": the positive answer restores the list, the negative one does nothing.
    void showCancelDialog(const Question& question) override;
    bool implementsShowCancelDialog() const override { return true; }
    /// "Delete this line item?": "Yes" deletes the chosen row, "No" does nothing.
    void showDeleteLineItemConfirmation() override;

private:
    std::weak_ptr<LineItemsViewControllerDelegate> m_delegate;
    std::weak_ptr<LineItemsView> m_lineItemsView;
    bool m_isDismissing { false };
};

}
