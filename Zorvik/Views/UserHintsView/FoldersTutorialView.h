#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"
#include "platform/foundation/Value.h"

#include <memory>

namespace zorvik {

class HintView;
class TutorialState;
class UserSwipeHintsView;

/// The transparent overlay of the home screen that shows the first-use hints: the create-invoice hint
/// while there are no invoices, the swipe hint while the only invoice waits in To-Do and the To-Do folder
/// is open. A touch anywhere first dismisses the hint on show (recording it seen once it is fully shown)
/// and then goes through to what lies below: the overlay never takes a touch. Laid out by the nib
/// "FoldersTutorialView"; its state is kept in the app's file store.
class FoldersTutorialView : public XibViewObjcmb {
public:
    /// The swipe hint's text.
    static constexpr const char* kSwipeHintText = "Swipe right when paid & done";

    FoldersTutorialView();

    std::string className() const override { return "FoldersTutorialView"; }

    /// Hands the business's invoices to the state and shows the hints they call for.
    void setInvoices(const platform::foundation::ArrayRef& invoices);
    const platform::foundation::ArrayRef& invoices() const;
    /// The folder now shown: 0 To-Do, 1 Done.
    void viewSwitched(unsigned folder);
    /// Hides the hint while the home screen is covered; shows what is due when it comes back.
    void setObscured(bool obscured);
    bool isObscured() const { return m_obscured; }
    /// The create button was tapped: the create-invoice hint goes, for good.
    void invoiceCreated();
    /// An invoice was moved: the swipe hint goes, for good.
    void invoiceSwiped();
    /// Dismisses the hint on show: once fully shown it goes and is recorded seen; while it still fades in it
    /// only hides, unrecorded, and comes back at the next occasion.
    void hideHint();

    /// Dismisses the hint on show, then lets the touch through.
    std::shared_ptr<platform::ui::View> hitTest(platform::ui::Point point) override;

    std::shared_ptr<HintView> createInvoiceHint() const { return m_createInvoiceHint; }
    std::shared_ptr<UserSwipeHintsView> swipeHint() const { return m_swipeHint; }
    /// The hint now shown, or null.
    std::shared_ptr<HintView> currentHint() const { return m_currentHint.lock(); }
    unsigned shownFolder() const { return m_shownFolder; }
    const std::shared_ptr<TutorialState>& tutorialState() const { return m_tutorialState; }

protected:
    void construct() override;

private:
    void showDueHints();
    void showCreateInvoiceHint();
    void showSwipeHint();
    void hideCurrentHint();

    unsigned m_shownFolder { 0 };
    bool m_obscured { false };
    std::weak_ptr<HintView> m_currentHint;
    std::shared_ptr<HintView> m_createInvoiceHint;
    std::shared_ptr<UserSwipeHintsView> m_swipeHint;
    std::shared_ptr<TutorialState> m_tutorialState;
};

}
