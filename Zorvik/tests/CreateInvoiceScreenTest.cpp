#include "Zorvik/Events/AnalyticsEvents.h"
#include "Zorvik/ViewControllers/InvoicePreviewViewController/InvoicePreviewViewController.h"
#include "Zorvik/ViewControllers/InvoiceReferenceNumberViewController/InvoiceReferenceNumberViewController.h"
#include "Zorvik/ViewControllers/LineItemsViewController.h"
#include "Zorvik/ViewControllers/ProfileForms/BankAccountViewController.h"
#include "Zorvik/ViewControllers/ProfileForms/CompanyProfileViewController.h"
#include "Zorvik/ViewControllers/ProfileForms/VATRegistrationViewController.h"
#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/SearchAddressBookContactViewController.h"
#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/SelectInvoiceRecipientViewController.h"
#include "Zorvik/Views/CurrencyControls/CurrencyTextField/CurrencyTextField.h"
#include "Zorvik/Views/MenuView/MenuItem.h"
#include "Zorvik/Views/MenuView/MenuView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/tests/AnimatorDescription.h"
#include "Zorvik/tests/CreateInvoiceFixture.h"
#include "ZorvikAPI/models/LineItem.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/ContactsStore.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace zorvik::test {
namespace {

using platform::foundation::Array;
using platform::foundation::Dictionary;

/// The New Invoice screen, counting the requests that open the pickers (the pickers themselves are
/// someone else's screens).
class PickerCountingScreen : public CreateInvoiceViewController {
public:
    using CreateInvoiceViewController::CreateInvoiceViewController;

    void goToContactSearchView() override { ++contactSearches; }

    int contactSearches { 0 };
};

/// The screen with what a person notices of it: the analytics notifications heard, the class on top.
class CreateInvoiceScreenTest : public CreateInvoiceTest {
protected:
    void SetUp() override
    {
        CreateInvoiceTest::SetUp();
        auto& center = platform::foundation::NotificationCenter::defaultCenter();
        for (const char* name :
            { AnalyticsEvents::analyticsCancelledCreateInvoice, AnalyticsEvents::analyticsSentInvoice })
            m_tokens.push_back(center.addObserver(name, nullptr,
                [this](const platform::foundation::Notification& note) { heard.push_back(note.name); }));
    }

    void TearDown() override
    {
        m_tokens.clear();
        platform::ui::ContactsStore::resetDevice();
        CreateInvoiceTest::TearDown();
    }

    /// Opens a New Invoice screen that counts its picker requests.
    std::shared_ptr<PickerCountingScreen> openCounting()
    {
        folders = std::make_shared<FoldersViewControllerObjc>(freelancer());
        auto counting = std::make_shared<PickerCountingScreen>(freelancer());
        screen = counting;
        navigation = showScreens({ folders, screen });
        form = screen->createInvoiceView();
        return counting;
    }

    /// The class name of the screen on top of the stack, once the transition has ended.
    std::string top()
    {
        driver.wait(0.5);
        layout();
        return navigation->topViewController()->className();
    }

    std::vector<std::string> heard;

private:
    std::vector<platform::foundation::ObserverToken> m_tokens;
};

TEST_F(CreateInvoiceScreenTest, CancelOnAnUntouchedFormLeavesAtOnceWithoutAQuestion)
{
    open();
    tap("cancel");

    EXPECT_EQ(screen->presentedViewController(), nullptr);
    EXPECT_EQ(top(), "FoldersViewControllerObjc");
    EXPECT_TRUE(heard.empty());
}

TEST_F(CreateInvoiceScreenTest, CancelAfterOneCharacterAsksAndOnlyYesDiscards)
{
    open();
    tap("Description of work");
    driver.type("W");
    tap("cancel");
    driver.wait(0.5);

    EXPECT_THAT(driver.screen(), testing::HasSubstr("\"Discard this invoice?\" [action sheet]"));
    driver.pickAlertAction("No");
    driver.wait(0.5);
    EXPECT_EQ(top(), "CreateInvoiceViewController");
    EXPECT_EQ(form->descriptionTextField()->text(), "W");
    EXPECT_TRUE(heard.empty()) << "No posts nothing";

    tap("cancel");
    driver.wait(0.5);
    driver.pickAlertAction("Yes");
    EXPECT_EQ(top(), "FoldersViewControllerObjc");
    EXPECT_THAT(heard, testing::ElementsAre(AnalyticsEvents::analyticsCancelledCreateInvoice));
}

TEST_F(CreateInvoiceScreenTest, TheReferenceEditorComesOverTheFormAndItsSaveReachesTheForm)
{
    open();
    tap("001");

    auto editor
        = std::dynamic_pointer_cast<InvoiceReferenceNumberViewController>(screen->presentedViewController());
    ASSERT_TRUE(editor) << "presented without animation: there at once";
    EXPECT_EQ(editor->className(), "InvoiceReferenceNumberViewController");
    EXPECT_EQ(editor->modalPresentationStyle(), platform::ui::ModalPresentationStyle::OverCurrentContext);
    EXPECT_EQ(editor->invoiceReferenceNumber().stringValue(), "001");

    editor->invoiceReferenceNumberUpdated(api::Reference::referenceWithPrefix("INV-", "042"));
    EXPECT_EQ(form->referenceLabel()->text(), "INV-042");
}

TEST_F(CreateInvoiceScreenTest, TheLineItemsEditorIsPresentedWithTheFormsItemsAndDoneHandsThemBack)
{
    open();
    auto logo = Dictionary::make();
    api::LineItem line(logo);
    line.setDescriptionOfWork("Logo");
    line.setQuantity(2);
    line.setUnitPrice(1234);
    form->setLineItems(Array::make({ logo }));
    layout();
    tap("1 item");

    auto editor = std::dynamic_pointer_cast<LineItemsViewController>(screen->presentedViewController());
    ASSERT_TRUE(editor) << "presented without animation: there at once";
    ASSERT_EQ(editor->lineItems()->size(), 1u);
    EXPECT_EQ(editor->lineItems()->values().front().dictionary(), logo);

    auto hosting = Dictionary::make();
    api::LineItem(hosting).setDescriptionOfWork("Hosting");
    api::LineItem(hosting).setQuantity(1);
    api::LineItem(hosting).setUnitPrice(500);
    editor->lineItems()->append(hosting);
    editor->done();
    driver.wait(0.5);

    EXPECT_EQ(screen->presentedViewController(), nullptr);
    EXPECT_EQ(form->addLineItemsButton()->currentTitle(), "2 items");
    EXPECT_EQ(form->amountTextField()->amount(), 2468 + 500);
}

TEST_F(CreateInvoiceScreenTest, KeysPressedInTheLineItemsEditorNeverReachTheAmountBeneathIt)
{
    open();
    tap("£0.00");
    driver.type("12");
    tap("+ add items");

    EXPECT_THAT(driver.screen(), testing::HasSubstr("keyboard: down"));
    EXPECT_THROW(driver.type("99"), platform::ui::ScreenDriverError) << "no field is being edited";
    tap("1. add item description");
    driver.type("Logo");

    auto editor = std::dynamic_pointer_cast<LineItemsViewController>(screen->presentedViewController());
    ASSERT_TRUE(editor);
    EXPECT_EQ(api::LineItem(editor->lineItems()->values().front().dictionary()).descriptionOfWork(), "Logo");
    EXPECT_EQ(form->amountTextField()->amount(), 12) << "the covered amount kept what was typed into it";
}

TEST_F(CreateInvoiceScreenTest, TheMenuRowsOpenTheBusinessVATAndBankFormsAndTheRowsFollowTheirSaves)
{
    struct Case {
        const char* row;
        const char* screen;
    };
    const Case cases[] {
        { "Business", "CompanyProfileViewController" },
        { "VAT", "VATRegistrationViewController" },
        { "Bank account", "BankAccountViewController" },
    };
    open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        tap("More");
        tap(c.row);
        EXPECT_EQ(top(), c.screen);
        navigation->popViewController(true);
        EXPECT_EQ(top(), "CreateInvoiceViewController");
        ASSERT_TRUE(form->menuView());
        form->menuView()->closePressed();
        driver.wait(0.5);
    }

    tap("More");
    tap("Bank account");
    driver.wait(0.5);
    bankAccount().record()->set("account_number", "12345678");
    bankAccount().record()->set("sort_code", "12-34-56");
    navigation->popViewController(true);
    driver.wait(0.5);
    const auto& rows = form->menuView()->menuItems();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[2]->itemTopExtraDetail()->text(), "12345678") << "refreshed when the screen shows again";
    EXPECT_EQ(rows[2]->itemBottomExtraDetail()->text(), "12-34-56");
}

TEST_F(CreateInvoiceScreenTest, EachOpenedScreenComesAndGoesWithItsOwnTransition)
{
    struct Case {
        const char* name;
        std::shared_ptr<platform::ui::ViewController> opened;
        const char* push;
        const char* pop;
    };
    // A subclass of a sheet-like screen is not one of them: the class must match exactly.
    class OwnPreview : public InvoicePreviewViewController {
    public:
        using InvoicePreviewViewController::InvoicePreviewViewController;
    };
    class OwnLineItems : public LineItemsViewController { };
    const Case cases[] {
        { "preview", std::make_shared<InvoicePreviewViewController>(Dictionary::make()), "RiseOver",
            "DropAway" },
        { "line items", std::make_shared<LineItemsViewController>(), "RiseOver", "DropAway" },
        { "a preview's subclass", std::make_shared<OwnPreview>(Dictionary::make()), "SlideInFromRight",
            "SlideInFromLeft" },
        { "a line-items editor's subclass", std::make_shared<OwnLineItems>(), "SlideInFromRight",
            "SlideInFromLeft" },
        { "recipient picker", std::make_shared<SelectInvoiceRecipientViewController>(), "SlideInFromRight",
            "SlideInFromLeft" },
        { "contact e-mail picker", std::make_shared<SearchAddressBookContactViewController>(),
            "SlideInFromRight", "SlideInFromLeft" },
        { "business form", std::make_shared<CompanyProfileViewController>(), "SlideInFromRight",
            "SlideInFromLeft" },
        { "VAT form", std::make_shared<VATRegistrationViewController>(), "SlideInFromRight",
            "SlideInFromLeft" },
        { "bank form", std::make_shared<BankAccountViewController>(), "SlideInFromRight", "SlideInFromLeft" },
    };
    open();
    for (const auto& c : cases) {
        EXPECT_EQ(describeAnimator(screen->pushAnimation(c.opened)), c.push) << c.name;
        EXPECT_EQ(describeAnimator(screen->popAnimation(c.opened)), c.pop) << c.name;
    }
}

TEST_F(CreateInvoiceScreenTest, ALogoTurnsTheBarDarkOnLightAndTheSendButtonTealFollowingTheForm)
{
    useAppResources();
    auto teal = [this](bool enabled) {
        EXPECT_THAT(driver.screen(), testing::HasSubstr("status bar: default"));
        EXPECT_EQ(form->navigationBar()->titleColour(), platform::ui::Color::black());
        auto send = form->sendButton();
        EXPECT_EQ(form->navigationBar()->positiveButton(), send) << "one send button on the bar";
        ASSERT_TRUE(send->image() && send->image(platform::ui::ControlState::Disabled));
        EXPECT_EQ(send->image()->name(), "BtnTealSendEnabled");
        EXPECT_EQ(send->image(platform::ui::ControlState::Disabled)->name(), "BtnTealSendDisabled");
        EXPECT_EQ(send->isEnabled(), enabled);
    };

    open();
    EXPECT_THAT(driver.screen(), testing::HasSubstr("status bar: light content"));
    fillIn();
    ASSERT_TRUE(form->sendButton()->isEnabled());
    ASSERT_NO_FATAL_FAILURE(addLogo(*form));
    {
        SCOPED_TRACE("the logo just added to a complete form");
        teal(true);
    }

    open();
    {
        SCOPED_TRACE("a new form on a device with a logo");
        teal(false);
    }
    fillIn();
    {
        SCOPED_TRACE("the new form filled in");
        teal(true);
    }
}

TEST_F(CreateInvoiceScreenTest, AuthorizedContactsGoStraightToThePickerWithoutADialog)
{
    for (auto status : { platform::ui::ContactsAuthorizationStatus::Authorized,
             platform::ui::ContactsAuthorizationStatus::Restricted }) {
        platform::ui::ContactsStore::resetDevice();
        platform::ui::ContactsStore::setAuthorizationStatus(status);
        auto counting = openCounting();
        tap("Email address");
        tap("Contacts");

        EXPECT_EQ(counting->contactSearches, 1);
        EXPECT_THAT(driver.screen(), testing::Not(testing::HasSubstr("Use your phone contacts?")));
        EXPECT_THAT(driver.screen(), testing::Not(testing::HasSubstr("Allow access to contacts")));
        EXPECT_TRUE(platform::ui::Application::shared().openedURLs().empty());
    }
}

TEST_F(CreateInvoiceScreenTest, TheSystemsAnswerToTheContactsQuestionReachesTheScreenOnTheMainQueue)
{
    struct Case {
        const char* name;
        bool grant;
        int searches;
    };
    for (const auto& c : { Case { "granted", true, 1 }, Case { "refused", false, 0 } }) {
        SCOPED_TRACE(c.name);
        platform::ui::ContactsStore::resetDevice();
        platform::ui::ContactsStore::setAuthorizationStatus(
            platform::ui::ContactsAuthorizationStatus::NotDetermined);
        platform::ui::ContactsStore::setUserAnswer(c.grant);
        auto counting = openCounting();
        tap("Email address");
        tap("Contacts");
        tap("OK");
        ASSERT_TRUE(waitUntil([] { return platform::ui::ContactsStore::questionCount() == 1; }));
        // A search comes from the address book's thread; where none is due, it is given a while to show.
        auto chance = c.searches > 0 ? std::chrono::milliseconds(30000) : std::chrono::milliseconds(200);
        waitUntil([&] { return counting->contactSearches > 0; }, chance);
        EXPECT_EQ(counting->contactSearches, c.searches);
        EXPECT_THAT(driver.screen(), testing::Not(testing::HasSubstr("Use your phone contacts?")));
    }
}

TEST_F(CreateInvoiceScreenTest, TheSystemsLateAnswerFindsTheScreenGoneAndDoesNothing)
{
    platform::ui::ContactsStore::setAuthorizationStatus(
        platform::ui::ContactsAuthorizationStatus::NotDetermined);
    platform::ui::ContactsStore::setUserAnswer(true);
    std::weak_ptr<CreateInvoiceViewController> gone;
    {
        auto counting = openCounting();
        gone = counting;
        counting->showNativeAddressBookContactAccessRequest();
        navigation->setViewControllers({ folders }, false);
        screen.reset();
        form.reset();
    }
    settle();
    EXPECT_TRUE(gone.expired()) << "the system's completion holds the screen weakly";
    EXPECT_NO_FATAL_FAILURE(waitUntil([] { return false; }, std::chrono::milliseconds(50)));
}

}
}
