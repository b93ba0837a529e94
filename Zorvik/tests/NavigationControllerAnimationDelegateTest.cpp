#include "Zorvik/ViewControllers/Transitions/NavigationControllerAnimationDelegate.h"
#include "Zorvik/ViewControllers/CompanySettingsViewController.h"
#include "Zorvik/ViewControllers/CreateInvoiceViewController.h"
#include "Zorvik/ViewControllers/EnterEmailViewController.h"
#include "Zorvik/ViewControllers/FoldersViewController/FoldersViewControllerObjc.h"
#include "Zorvik/ViewControllers/InvoicePreviewViewController/InvoicePreviewViewController.h"
#include "Zorvik/ViewControllers/InvoiceRecipientViewControllerObjc.h"
#include "Zorvik/ViewControllers/InvoiceSummaryViewController/InvoiceSummaryViewController.h"
#include "Zorvik/ViewControllers/LineItemsViewController.h"
#include "Zorvik/ViewControllers/PinViewController/ConfirmPinViewController.h"
#include "Zorvik/ViewControllers/PinViewController/CreatePinViewController.h"
#include "Zorvik/ViewControllers/PinViewController/LoginWithPinViewController.h"
#include "Zorvik/ViewControllers/ReadOnlyInvoiceViewController.h"
#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/InvoiceRecipientSelectedViewController.h"
#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/SearchAddressBookContactViewController.h"
#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/SelectInvoiceRecipientViewController.h"
#include "Zorvik/ViewControllers/StartSignupViewController.h"
#include "Zorvik/tests/AnimatorDescription.h"
#include "platform/foundation/Dictionary.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace zorvik::test {
namespace {

using platform::ui::NavigationController;
using platform::ui::NavigationOperation;
using platform::ui::ViewController;
using Screen = std::shared_ptr<ViewController>;

/// A create-invoice screen of a subclass: "exactly of class" rules must not take it for the base.
class DuplicateInvoiceViewController : public CreateInvoiceViewController {
public:
    DuplicateInvoiceViewController()
        : CreateInvoiceViewController(api::Freelancer(platform::foundation::Dictionary::make()))
    {
    }
};
/// A line-items screen of a subclass.
class SpecialLineItemsViewController : public LineItemsViewController { };
/// A settings screen of a subclass: "of kind" rules take it for the base.
class SpecialSettingsViewController : public CompanySettingsViewController { };

/// A screen that adopts the delegate protocol and answers null both ways.
class UndecidedViewController : public ViewController, public ViewControllerTransitionDelegate {
public:
    std::shared_ptr<platform::ui::TransitionAnimator> popAnimation(const Screen&) override { return nullptr; }
    std::shared_ptr<platform::ui::TransitionAnimator> pushAnimation(const Screen&) override
    {
        return nullptr;
    }
};

template<class T, class... Args> Screen make(Args&&... args)
{
    return std::make_shared<T>(std::forward<Args>(args)...);
}

Screen createInvoiceScreen()
{
    return std::make_shared<CreateInvoiceViewController>(
        api::Freelancer(platform::foundation::Dictionary::make()));
}

Screen readOnlyScreen()
{
    return std::make_shared<ReadOnlyInvoiceViewController>(
        api::Freelancer(platform::foundation::Dictionary::make()), platform::foundation::Dictionary::make());
}

Screen summaryScreen()
{
    return std::make_shared<InvoiceSummaryViewController>(nullptr);
}

Screen recipientScreen()
{
    return std::make_shared<InvoiceRecipientViewControllerObjc>(nullptr, false);
}

Screen previewScreen()
{
    return std::make_shared<InvoicePreviewViewController>(nullptr);
}

class NavigationControllerAnimationDelegateTest : public testing::Test {
protected:
    std::string push(const Screen& covered, const Screen& pushed)
    {
        return describeAnimator(
            delegate.animationController(*navigation, NavigationOperation::Push, covered, pushed));
    }
    std::string pop(const Screen& popped, const Screen& uncovered)
    {
        return describeAnimator(
            delegate.animationController(*navigation, NavigationOperation::Pop, popped, uncovered));
    }

    NavigationControllerAnimationDelegate delegate;
    std::shared_ptr<NavigationController> navigation = std::make_shared<NavigationController>();
};

TEST_F(NavigationControllerAnimationDelegateTest, OnAPushTheCoveredScreenChooses)
{
    struct Case {
        std::function<Screen()> covered;
        std::function<Screen()> pushed;
        std::string animator;
    } cases[] = {
        { createInvoiceScreen, make<LineItemsViewController>, "RiseOver" },
        { createInvoiceScreen, previewScreen, "RiseOver" },
        { createInvoiceScreen, make<SpecialLineItemsViewController>, "SlideInFromRight" },
        { createInvoiceScreen, recipientScreen, "SlideInFromRight" },
        { readOnlyScreen, createInvoiceScreen, "RiseOver" },
        { readOnlyScreen, make<DuplicateInvoiceViewController>, "SlideInFromRight" },
        { make<FoldersViewControllerObjc>, make<CompanySettingsViewController>, "RiseOver" },
        { make<FoldersViewControllerObjc>, make<SpecialSettingsViewController>, "RiseOver" },
        { make<FoldersViewControllerObjc>, make<DuplicateInvoiceViewController>, "RiseOver" },
        { make<FoldersViewControllerObjc>, summaryScreen, "RiseOver" },
        { make<FoldersViewControllerObjc>, readOnlyScreen, "SlideInFromRight" },
        { recipientScreen, make<ViewController>, "Instant" },
        { make<SelectInvoiceRecipientViewController>, make<ViewController>, "Instant" },
        { make<InvoiceRecipientSelectedViewController>, make<ViewController>, "Instant" },
        { make<SearchAddressBookContactViewController>, make<ViewController>, "RiseOver" },
        { make<CompanySettingsViewController>, make<StartSignupViewController>, "Fade 0.4" },
        { make<CompanySettingsViewController>, make<ViewController>, "SlideInFromRight" },
        { [] { return make<ConfirmPinViewController>("a@b.com", "1234"); }, make<ViewController>,
            "SlideInFromRight" },
        { make<LoginWithEmailViewController>, make<ViewController>, "SlideInFromRight" },
        { [] { return make<CreatePinViewController>("a@b.com"); }, make<ViewController>, "Instant" },
        { make<StartSignupViewController>, make<ViewController>, "Fade 0.4" },
        { make<ViewController>, make<StartSignupViewController>, "platform" },
        { [] { return make<LoginWithPinViewController>("a@b.com", false); }, make<ViewController>,
            "platform" },
        { make<UndecidedViewController>, make<ViewController>, "platform" },
    };
    for (const auto& c : cases) {
        auto covered = c.covered();
        auto pushed = c.pushed();
        EXPECT_EQ(push(covered, pushed), c.animator)
            << typeid(*covered).name() << " covered by " << typeid(*pushed).name();
    }
}

TEST_F(NavigationControllerAnimationDelegateTest, OnAPopTheUncoveredScreenChooses)
{
    struct Case {
        std::function<Screen()> popped;
        std::function<Screen()> uncovered;
        std::string animator;
    } cases[] = {
        { make<LineItemsViewController>, createInvoiceScreen, "DropAway" },
        { previewScreen, createInvoiceScreen, "DropAway" },
        { make<SpecialLineItemsViewController>, createInvoiceScreen, "SlideInFromLeft" },
        { createInvoiceScreen, readOnlyScreen, "DropAway" },
        { make<DuplicateInvoiceViewController>, readOnlyScreen, "SlideInFromLeft" },
        { recipientScreen, recipientScreen, "Instant" },
        { make<ViewController>, make<SelectInvoiceRecipientViewController>, "Instant" },
        { make<ViewController>, make<InvoiceRecipientSelectedViewController>, "Instant" },
        { make<ViewController>, make<SearchAddressBookContactViewController>, "RiseAway" },
        { make<StartSignupViewController>, make<CompanySettingsViewController>, "SlideInFromLeft" },
        { make<ViewController>, [] { return make<ConfirmPinViewController>("a@b.com", "1234"); },
            "SlideInFromLeft" },
        { make<ViewController>, make<LoginWithEmailViewController>, "SlideInFromLeft" },
        { make<ViewController>, [] { return make<CreatePinViewController>("a@b.com"); }, "Instant" },
        { make<ViewController>, make<StartSignupViewController>, "Fade 0.4" },
        { make<StartSignupViewController>, make<ViewController>, "platform" },
        { make<ViewController>, make<UndecidedViewController>, "platform" },
    };
    for (const auto& c : cases) {
        auto popped = c.popped();
        auto uncovered = c.uncovered();
        EXPECT_EQ(pop(popped, uncovered), c.animator)
            << typeid(*popped).name() << " popped back to " << typeid(*uncovered).name();
    }
    EXPECT_EQ(describeAnimator(delegate.animationController(*navigation, NavigationOperation::None,
                  make<StartSignupViewController>(), make<StartSignupViewController>())),
        "platform");
}

TEST_F(NavigationControllerAnimationDelegateTest, TheHomeScreenChoosesItsReturnsByThePendingFolderUpdate)
{
    using Folders = FoldersViewControllerObjc;
    struct Case {
        unsigned action;
        std::function<Screen()> popped;
        std::string animator;
    } cases[] = {
        { Folders::NO_ACTION, createInvoiceScreen, "DropAway" },
        { Folders::INVOICE_SENT_ACTION, createInvoiceScreen, "RiseAway" },
        { Folders::INVOICE_DELETED_ACTION, summaryScreen, "DropAway" },
        { Folders::INVOICE_SENT_ACTION, make<SpecialSettingsViewController>, "RiseAway" },
        { Folders::NO_ACTION, readOnlyScreen, "SlideInFromLeft" },
        { Folders::INVOICE_SENT_ACTION, readOnlyScreen, "SlideInFromLeft" },
        { Folders::INVOICE_DELETED_ACTION, readOnlyScreen, "DropAway" },
    };
    for (const auto& c : cases) {
        auto folders = std::make_shared<Folders>();
        folders->setAnimateFolderUpdatesOnViewDidAppearAction(c.action);
        auto popped = c.popped();
        EXPECT_EQ(pop(popped, folders), c.animator) << c.action << " " << typeid(*popped).name();
    }
    EXPECT_EQ(Folders().animateFolderUpdatesOnViewDidAppearAction(), Folders::NO_ACTION);
}

TEST(ScreenInitialisersTest, TheScreensKeepWhatTheyAreMadeWith)
{
    LoginWithPinViewController login("a@b.com", false);
    EXPECT_EQ(login.username(), "a@b.com");
    EXPECT_FALSE(login.showBackButton());
    EXPECT_TRUE(LoginWithPinViewController("c@d.com", true).showBackButton());
    ConfirmPinViewController confirm("a@b.com", "1234");
    EXPECT_EQ(confirm.username(), "a@b.com");
    EXPECT_EQ(confirm.pin(), "1234");
    EXPECT_EQ(CreatePinViewController("e@f.com").username(), "e@f.com");
    EXPECT_EQ(StartSignupViewController().nibName(), "") << "a plain view, no nib";
}

}
}
