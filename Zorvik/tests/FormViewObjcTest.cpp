#include "Zorvik/Views/ContentView/FormViewObjc.h"

#include "Zorvik/Controllers/FormController/FormControllerObjc.h"
#include "Zorvik/Controllers/TabOrderController/TabOrderObjc.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/NavigationBarModes/NavigationBarModeEditObjc.h"
#include "Zorvik/Views/OneButtonDialogView/OneButtonDialogView.h"
#include "Zorvik/tests/FrameFixture.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/TextField.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using platform::foundation::Dictionary;
using platform::foundation::mainQueue;
using platform::ui::Keyboard;
using platform::ui::NibBuilder;
using platform::ui::NibRegistry;
using platform::ui::Rect;
using platform::ui::TextField;
using ::testing::HasSubstr;

/// A bank account form: the account name and sort code of a record, editing from the first keystroke on,
/// with the two fields in a tab order. With `asks` it confirms a cancel first.
class BankForm : public FormViewObjc {
public:
    BankForm(Document document, bool asks)
        : FormViewObjc(std::move(document))
        , m_asks(asks)
    {
        declareOutlet("accountName", accountName);
        declareOutlet("sortCode", sortCode);
    }

    std::string className() const override { return "BankForm"; }

    void construct() override
    {
        FormViewObjc::construct();
        std::weak_ptr<View> weakSelf = weak_from_this();
        for (const auto& field : { accountName, sortCode }) {
            field->addTarget(weakSelf, platform::ui::ControlEvent::EditingDidBegin, [this](auto&) {
                if (!isEditing())
                    setIsEditing(true);
            });
        }
        setTabOrder(TabOrderObjc::make({ accountName, sortCode }, false));
        navigationBar()->setText(std::string("Bank account"));
    }

    void setCurrentDocument(const Document& document) override
    {
        auto record = document.dictionary();
        accountName->setText(record->get("account_name").stringValue());
        sortCode->setText(record->get("sort_code").stringValue());
        FormViewObjc::setCurrentDocument(document);
    }

    Document currentDocument() const override
    {
        return Dictionary::make(
            { { "account_name", accountName->text() }, { "sort_code", sortCode->text() } });
    }

    std::optional<Question> cancelConfirmation() const override
    {
        if (!m_asks)
            return std::nullopt;
        return Question::withPrompt("Discard last changes?", "", Answer { "Yes, cancel" }, Answer { "No" });
    }

    std::shared_ptr<TextField> accountName;
    std::shared_ptr<TextField> sortCode;

private:
    bool m_asks;
};

/// How the controller ends a save.
enum class Outcome { SavedLater, FailedLater, FailedAtOnce, Never };

/// Saves as the test says, a second after it is asked (or at once, or never), and asks cancel questions
/// in an action sheet.
class BankController : public FormControllerObjc {
public:
    using FormControllerObjc::FormControllerObjc;

    void save(SavedBlock saved, SaveFailedBlock saveFailed) override
    {
        ++saves;
        auto view = form.lock();
        Document document = view->currentDocument();
        switch (outcome) {
        case Outcome::SavedLater:
            mainQueue().after(1, [saved, document] { saved(document); });
            break;
        case Outcome::FailedLater:
            mainQueue().after(1, [saveFailed] {
                saveFailed(
                    "Oops", "There was a problem updating your bank account information.", "Try again.");
            });
            break;
        case Outcome::FailedAtOnce:
            saveFailed("Oops", "There was a problem updating your bank account information.", "Try again.");
            break;
        case Outcome::Never:
            break;
        }
    }

    void showCancelDialog(const Question& question) override
    {
        auto sheet = std::make_shared<platform::ui::AlertController>(
            question.prompt(), question.message(), platform::ui::AlertControllerStyle::ActionSheet);
        std::weak_ptr<BankForm> view = form;
        sheet->addAction(std::make_shared<platform::ui::AlertAction>(
            question.positiveAnswer().text, platform::ui::AlertActionStyle::Destructive, [view](auto&) {
                if (auto shown = view.lock())
                    shown->cancelConfirmed();
            }));
        sheet->addAction(std::make_shared<platform::ui::AlertAction>(
            question.negativeAnswer().text, platform::ui::AlertActionStyle::Default));
        screen.lock()->presentViewController(sheet, false);
    }
    bool implementsShowCancelDialog() const override { return true; }

    Outcome outcome { Outcome::SavedLater };
    int saves { 0 };
    std::weak_ptr<BankForm> form;
    std::weak_ptr<platform::ui::ViewController> screen;
};

/// The screen of the bank account form.
class BankScreen : public platform::ui::ViewController {
public:
    BankScreen(Document document, bool asks)
        : m_document(std::move(document))
        , m_asks(asks)
    {
        setTitle("Bank account");
    }
    std::string className() const override { return "BankScreen"; }

    void loadView() override
    {
        form = XibViewObjcmb::create<BankForm>(Rect::zero(), m_document, m_asks);
        form->setCurrentDocument(m_document);
        setView(form);
    }
    void viewDidLoad() override
    {
        controller = std::make_shared<BankController>(navigationController());
        controller->form = form;
        controller->screen = std::static_pointer_cast<ViewController>(shared_from_this());
        form->setController(controller);
    }

    std::shared_ptr<BankForm> form;
    std::shared_ptr<BankController> controller;

private:
    Document m_document;
    bool m_asks;
};

class FormViewObjcTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        NibRegistry::registerNib("BankForm", [](NibBuilder& nib) {
            auto root = nib.topLevel(std::make_shared<platform::ui::View>(Rect { 0, 0, 320, 400 }));
            for (const auto& [name, y] :
                { std::pair { "accountName", 20.0 }, std::pair { "sortCode", 70.0 } }) {
                auto field = std::make_shared<TextField>(Rect { 20, y, 280, 30 });
                field->setPlaceholder(std::string(name));
                root->addSubview(field);
                nib.outlet(name, field);
            }
        });
    }

    void TearDown() override
    {
        NibRegistry::removeNib("BankForm");
        FrameTest::TearDown();
    }

    /// Shows the bank account screen over a home screen; with `asks` the form confirms cancels.
    void showForm(bool asks = false)
    {
        screen = std::make_shared<BankScreen>(
            Dictionary::make({ { "account_name", "Amy Smith" }, { "sort_code", "12-34-56" } }), asks);
        home = std::make_shared<platform::ui::ViewController>();
        navigation = showStack({ home, screen });
        form = screen->form;
    }

    /// What the bar offers: its two buttons, the right one "(spinner)" while the spinner shows.
    std::string bar() const
    {
        auto navigationBar = form->navigationBar();
        auto describe = [](const std::shared_ptr<platform::ui::Button>& button) -> std::string {
            if (auto title = button->currentTitle())
                return *title;
            return button->image() ? button->image()->name() : "(empty)";
        };
        std::string right = navigationBar->loadingView()->isHidden()
            ? describe(navigationBar->positiveButton())
            : "(spinner)";
        return describe(navigationBar->negativeButton()) + "|" + right;
    }

    /// The form's fields as "name / sort code".
    std::string fields() const { return form->accountName->text() + " / " + form->sortCode->text(); }

    /// Edits the account name as a person does: taps it, adds " Ltd".
    void editName()
    {
        tap(form->accountName->text());
        driver.type(" Ltd");
    }

    std::shared_ptr<platform::ui::ViewController> home;
    std::shared_ptr<BankScreen> screen;
    std::shared_ptr<platform::ui::NavigationController> navigation;
    std::shared_ptr<BankForm> form;
};

TEST_F(FormViewObjcTest, ASavedFormLeavesEditingAndBecomesWhatCancelReturnsTo)
{
    showForm();
    EXPECT_EQ(bar(), "BtnTealLessThan|done");
    editName();
    EXPECT_TRUE(form->isEditing());
    EXPECT_EQ(bar(), "cancel|save");

    tap("save");
    EXPECT_EQ(bar(), "cancel|(spinner)");
    EXPECT_EQ(
        form->navigationBar()->loadingView()->spinnerColour(), platform::ui::Color::fromBytes(0, 188, 203));
    advance(1);
    EXPECT_FALSE(form->isEditing());
    EXPECT_EQ(bar(), "BtnTealLessThan|done");
    EXPECT_FALSE(Keyboard::shared().isVisible()) << "the focus is dropped";
    EXPECT_EQ(form->editMode()->uneditedDocument().dictionary()->get("account_name"), "Amy Smith Ltd");

    tap("12-34-56");
    driver.type("7");
    tap("cancel");
    EXPECT_EQ(fields(), "Amy Smith Ltd / 12-34-56") << "back to the saved values, not the first ones";
    EXPECT_FALSE(form->isEditing());
}

TEST_F(FormViewObjcTest, AFailedSaveKeepsTheTypedValuesAndShowsTheControllersTexts)
{
    for (Outcome outcome : { Outcome::FailedLater, Outcome::FailedAtOnce }) {
        SCOPED_TRACE(outcome == Outcome::FailedLater ? "failure later" : "failure before the save returns");
        showForm();
        screen->controller->outcome = outcome;
        editName();
        tap("save");
        advance(1);
        EXPECT_TRUE(form->isEditing());
        EXPECT_EQ(bar(), "cancel|save");
        EXPECT_EQ(fields(), "Amy Smith Ltd / 12-34-56");
        EXPECT_FALSE(Keyboard::shared().isVisible());
        auto dialog = form->errorView();
        ASSERT_TRUE(dialog && dialog->superview());
        EXPECT_EQ(dialog->title(), "Oops");
        EXPECT_EQ(dialog->message(), "There was a problem updating your bank account information.");
        EXPECT_THAT(
            driver.screen(), HasSubstr("\"There was a problem updating your bank account information.\""));

        tap("Try again.");
        EXPECT_EQ(dialog->superview(), nullptr);
        tap("cancel");
        EXPECT_EQ(fields(), "Amy Smith / 12-34-56") << "cancel still cancels after the failure";
        EXPECT_FALSE(form->isEditing());
        EXPECT_EQ(navigation->topViewController(), screen) << "the form is not left";
    }
}

TEST_F(FormViewObjcTest, ASaveThatNeverAnswersKeepsTheSpinnerAndTheForm)
{
    showForm();
    screen->controller->outcome = Outcome::Never;
    editName();
    tap("save");
    tap("cancel");
    advance(60);
    EXPECT_EQ(bar(), "cancel|(spinner)");
    EXPECT_FALSE(form->isEditing());
    EXPECT_TRUE(form->editMode()->isSaving());
    EXPECT_EQ(navigation->topViewController(), screen);
    EXPECT_EQ(fields(), "Amy Smith Ltd / 12-34-56");
    EXPECT_EQ(screen->controller->saves, 1);
}

TEST_F(FormViewObjcTest, ACancelWithAQuestionWaitsForTheAnswer)
{
    showForm(true);
    editName();
    tap("cancel");
    EXPECT_THAT(driver.screen(), HasSubstr("AlertController \"Discard last changes?\" [action sheet]"));
    EXPECT_TRUE(form->isEditing());
    driver.pickAlertAction("No");
    advance(0.5);
    EXPECT_EQ(fields(), "Amy Smith Ltd / 12-34-56");
    EXPECT_TRUE(form->isEditing());

    tap("cancel");
    driver.pickAlertAction("Yes, cancel");
    advance(0.5);
    EXPECT_EQ(fields(), "Amy Smith / 12-34-56");
    EXPECT_FALSE(form->isEditing());
    EXPECT_EQ(bar(), "BtnTealLessThan|done");
}

TEST_F(FormViewObjcTest, DoneLeavesAFormThatIsNotEdited)
{
    for (const char* button : { "done", "BtnTealLessThan" }) {
        SCOPED_TRACE(button);
        showForm();
        tap(button);
        EXPECT_TRUE(navigation->isInTransition()) << "popped with animation";
        advance(0.5);
        EXPECT_EQ(navigation->topViewController(), home);
    }
}

TEST_F(FormViewObjcTest, AReadOnlyFormIgnoresTouchesOnItsContent)
{
    showForm();
    form->setIsReadOnly(true);
    EXPECT_TRUE(form->isReadOnly());
    EXPECT_THROW(tap("Amy Smith"), platform::ui::ScreenDriverError);
    form->setIsReadOnly(false);
    tap("Amy Smith");
    EXPECT_TRUE(form->isEditing());
}

TEST_F(FormViewObjcTest, ReturnMovesThroughTheFormsFields)
{
    showForm();
    tap("Amy Smith");
    EXPECT_EQ(form->accountName->returnKeyType(), platform::ui::ReturnKeyType::Next);
    driver.pressReturn();
    EXPECT_TRUE(form->sortCode->isFirstResponder());
    EXPECT_EQ(form->sortCode->returnKeyType(), platform::ui::ReturnKeyType::Done);
    driver.pressReturn();
    EXPECT_FALSE(Keyboard::shared().isVisible());
}

}
}
