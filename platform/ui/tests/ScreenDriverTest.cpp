#include "platform/ui/ScreenDriver.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/Text.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/VisualFormat.h"
#include "platform/ui/tests/ControllerFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace platform::ui::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

/// The screen after signing up: greets the address typed on the first one.
class WelcomeScreen : public ViewController {
public:
    explicit WelcomeScreen(std::string email)
        : m_email(std::move(email))
    {
        setTitle("Welcome");
    }

    void loadView() override
    {
        auto view = std::make_shared<View>(Screen::main().bounds());
        auto greeting = std::make_shared<Label>(Rect(20, 100, 280, 30));
        greeting->setText("Welcome " + m_email);
        view->addSubview(greeting);
        setView(view);
    }

private:
    std::string m_email;
};

/// A tiny sign-up screen: an e-mail field, a button that pushes the welcome screen, a button that asks a
/// question, and two buttons with the same title.
class SignUpScreen : public ViewController {
public:
    SignUpScreen() { setTitle("Sign up"); }

    void loadView() override
    {
        auto view = std::make_shared<View>(Screen::main().bounds());
        email = std::make_shared<TextField>(Rect(20, 60, 280, 30));
        email->setPlaceholder(std::string("Email"));
        email->addAction(
            ControlEvent::EditingDidEndOnExit, [](Control& field) { field.resignFirstResponder(); });
        view->addSubview(email);
        addButton(*view, "Sign up", { 20, 100, 280, 44 }, [this] {
            navigationController()->pushViewController(std::make_shared<WelcomeScreen>(email->text()), true);
        });
        addButton(*view, "Delete", { 20, 150, 280, 44 }, [this] {
            auto alert = std::make_shared<AlertController>(
                std::string("Delete everything?"), std::nullopt, AlertControllerStyle::Alert);
            alert->addAction(std::make_shared<AlertAction>("Go", AlertActionStyle::Cancel));
            alert->addAction(std::make_shared<AlertAction>(
                "Yes", AlertActionStyle::Destructive, [this](AlertAction&) { deleted = true; }));
            presentViewController(alert, true);
        });
        addButton(*view, "Go", { 20, 200, 130, 44 }, [] {});
        addButton(*view, "Go", { 170, 200, 130, 44 }, [] {});
        setView(view);
    }

    std::shared_ptr<TextField> email;
    bool deleted { false };

private:
    static void addButton(View& view, const std::string& title, Rect frame, std::function<void()> pressed)
    {
        auto button = std::make_shared<Button>(ButtonType::System, frame);
        button->setTitle(title);
        button->addAction(
            ControlEvent::TouchUpInside, [pressed = std::move(pressed)](Control&) { pressed(); });
        view.addSubview(button);
    }
};

/// Records the application's trips to the background.
class TripDelegate : public ApplicationDelegate {
public:
    void didEnterBackground(Application&) override { left = foundation::now(); }
    void willEnterForeground(Application&) override { back = foundation::now(); }

    foundation::Date left;
    foundation::Date back;
};

class ScreenDriverTest : public ControllerFixture {
protected:
    void SetUp() override
    {
        ControllerFixture::SetUp();
        navigation->setNavigationBarHidden(true, false);
        navigation->setViewControllers({ signUp }, false);
        ViewController::setRootViewController(*window, navigation);
    }

    std::string run(const std::string& script, std::size_t expectedFailures = 0)
    {
        std::istringstream input(script);
        std::ostringstream output;
        EXPECT_EQ(driver.runScript(input, output), expectedFailures) << output.str();
        return output.str();
    }

    std::shared_ptr<NavigationController> navigation { std::make_shared<NavigationController>() };
    std::shared_ptr<SignUpScreen> signUp { std::make_shared<SignUpScreen>() };
    ScreenDriver driver;
};

TEST_F(ScreenDriverTest, ScriptSignsUpAndPrintsTheNextScreen)
{
    auto output = run("\xEF\xBB\xBF# sign up, saved with a byte order mark\n"
                      "tap Email\n"
                      "type bob@example.co.uk\n"
                      "return\n"
                      "tap Sign up\n"
                      "wait 0.5\n"
                      "screen\n");
    EXPECT_THAT(output,
        HasSubstr("root: NavigationController stack [SignUpScreen \"Sign up\" > WelcomeScreen "
                  "\"Welcome\"]\ntop: WelcomeScreen \"Welcome\"\nkeyboard: down\n"));
    EXPECT_THAT(output, HasSubstr("Label (20, 100, 280, 30) \"Welcome bob@example.co.uk\""));
    EXPECT_THAT(output, Not(HasSubstr("Sign up\"\n"))) << "the first screen's view has left the window";
}

TEST_F(ScreenDriverTest, MistakesGiveClearErrorsAndTheScriptGoesOn)
{
    struct Case {
        std::string line;
        std::string message;
    };
    const Case cases[] = {
        { "fly away", "unknown command \"fly\"" },
        { "tap Nowhere", "nothing on screen reads \"Nowhere\"" },
        { "tap Go", "\"Go\" matches 2 things on screen" },
        { "type hello", "no text field is being edited" },
        { "return", "the keyboard is down" },
        { "wait soon", "wait needs a number, not \"soon\"" },
        { "alert Yes", "no alert is on screen" },
        { "swipe Sign up 0", "no row or paged view on screen reads \"Sign up\"" },
        { "picker cancel", "no image picker is on screen" },
        { "tap", "tap needs the text of what to tap" },
    };
    std::string script;
    for (const auto& test : cases) {
        EXPECT_THROW(
            {
                try {
                    driver.execute(test.line);
                } catch (const ScreenDriverError& error) {
                    EXPECT_THAT(error.what(), HasSubstr(test.message)) << test.line;
                    throw;
                }
            },
            ScreenDriverError);
        script += test.line + "\n";
    }
    auto output = run(script + "screen\n", std::size(cases));
    EXPECT_THAT(output, HasSubstr("error: unknown command \"fly\""));
    EXPECT_THAT(output, HasSubstr("top: SignUpScreen"));
}

TEST_F(ScreenDriverTest, AMistypedTextNamesWhatShowsNearIt)
{
    const std::pair<std::string, std::string> cases[] = {
        { "tap sign up", "nothing on screen reads \"sign up\" (did you mean \"Sign up\"?)" },
        { "tap Sign  upp", "nothing on screen reads \"Sign  upp\" (did you mean \"Sign up\"?)" },
        { "tap email", "nothing on screen reads \"email\" (did you mean \"Email\"?)" },
        { "tap Delte", "nothing on screen reads \"Delte\" (did you mean \"Delete\"?)" },
        { "tap go", "nothing on screen reads \"go\" (did you mean \"Go\"?)" },
        { "tap Gone", "nothing on screen reads \"Gone\"" },
        { "tap Sign", "nothing on screen reads \"Sign\"" },
        { "tap Nowhere", "nothing on screen reads \"Nowhere\"" },
        { "swipe sign up 0", "no row or paged view on screen reads \"sign up\" (did you mean \"Sign up\"?)" },
    };
    for (const auto& [line, message] : cases) {
        try {
            driver.execute(line);
            ADD_FAILURE() << line << " went through";
        } catch (const ScreenDriverError& error) {
            EXPECT_EQ(error.what(), message);
        }
    }
}

TEST_F(ScreenDriverTest, TheScreenShowsTheAccessibilityLabelsTapsFindThingsBy)
{
    driver.screen();
    bool tapped = false;
    auto icon = std::make_shared<Button>(ButtonType::Custom, Rect(20, 250, 30, 30));
    icon->setAccessibilityLabel("Contacts");
    icon->addAction(ControlEvent::TouchUpInside, [&tapped](Control&) { tapped = true; });
    auto titled = std::make_shared<Button>(ButtonType::System, Rect(60, 250, 100, 30));
    titled->setTitle("Help");
    titled->setAccessibilityLabel("Help");
    signUp->view()->addSubview(icon);
    signUp->view()->addSubview(titled);

    auto screen = driver.screen();
    EXPECT_THAT(screen, HasSubstr("\n        Button (20, 250, 30, 30) label \"Contacts\"\n"));
    EXPECT_THAT(screen, HasSubstr("\n        Button (60, 250, 100, 30) \"Help\"\n"))
        << "a label that shows already";
    driver.tap("Contacts");
    EXPECT_TRUE(tapped);
}

/// Lets a field hold at most `limit` characters (counted in UTF-16 units) and writes down every change asked.
class LimitedField : public TextFieldDelegate {
public:
    explicit LimitedField(std::size_t limit)
        : m_limit(limit)
    {
    }

    bool shouldChangeCharacters(
        TextField& field, foundation::Utf16Range range, const std::string& replacement) override
    {
        changes.push_back(
            std::to_string(range.location) + "+" + std::to_string(range.length) + " \"" + replacement + "\"");
        auto proposed = foundation::replacingUtf16Range(field.text(), range, replacement);
        return proposed && foundation::utf16Length(*proposed) <= m_limit;
    }

    std::vector<std::string> changes;

private:
    std::size_t m_limit;
};

TEST_F(ScreenDriverTest, PasteIsOneChangeAtTheInsertionPointAndDeletePressesTheKeyNTimes)
{
    auto limit = std::make_shared<LimitedField>(8);
    signUp->loadViewIfNeeded();
    signUp->email->setDelegate(limit);
    run("tap Email\ntype ab\n");
    limit->changes.clear();

    EXPECT_EQ(driver.execute("paste c d\u00e9"), "");
    EXPECT_EQ(signUp->email->text(), "abc d\u00e9");
    EXPECT_THAT(limit->changes, ElementsAre("2+0 \"c d\u00e9\"")) << "the delegate is asked once";
    EXPECT_EQ(driver.execute("paste 1234"), "the field refused the pasted text\n")
        << "too long as a whole, so none of it goes in";
    EXPECT_EQ(signUp->email->text(), "abc d\u00e9");
    EXPECT_EQ(driver.execute("type 1234"), "the field took 2 of 4 characters\n") << "keys go in one by one";

    limit->changes.clear();
    EXPECT_EQ(driver.execute("delete"), "");
    EXPECT_EQ(driver.execute("delete 3"), "");
    EXPECT_EQ(signUp->email->text(), "abc ");
    EXPECT_THAT(limit->changes, ElementsAre("7+1 \"\"", "6+1 \"\"", "5+1 \"\"", "4+1 \"\""));
    EXPECT_EQ(driver.execute("delete 9"), "the field deleted 4 of 9 characters\n");
    EXPECT_EQ(signUp->email->text(), "");

    for (const char* line : { "delete two", "delete 0", "delete 1.5", "paste" })
        EXPECT_THROW(driver.execute(line), ScreenDriverError) << line;
    run("return\n");
    for (const char* line : { "delete", "paste x" }) {
        try {
            driver.execute(line);
            ADD_FAILURE() << line << " went through with the keyboard down";
        } catch (const ScreenDriverError& error) {
            EXPECT_THAT(error.what(), HasSubstr("no text field is being edited")) << line;
        }
    }
}

TEST_F(ScreenDriverTest, AlertCoversTheScreenAndItsActionsArePicked)
{
    run("tap Delete\nwait 0.3\n");
    EXPECT_THAT(driver.screen(),
        HasSubstr(
            "presented (over full screen): AlertController \"Delete everything?\" [alert] actions: \"Go\" "
            "(cancel) \"Yes\" (destructive)\ntop: AlertController \"Delete everything?\"\n"));
    run("tap Go\nwait 0.3\n");
    EXPECT_EQ(navigation->presentedViewController(), nullptr) << "only the alert's Go can be reached";
    EXPECT_FALSE(signUp->deleted);

    run("tap Delete\nwait 0.3\nalert Yes\nwait 0.3\n");
    EXPECT_TRUE(signUp->deleted);
    EXPECT_THROW(driver.execute("alert Yes"), ScreenDriverError);
}

TEST_F(ScreenDriverTest, AnAlertOrPickerStillSlidingOnOrOffTakesNoPress)
{
    auto errorOf = [this](const std::string& line) -> std::string {
        try {
            driver.execute(line);
        } catch (const ScreenDriverError& error) {
            return error.what();
        }
        return "";
    };
    driver.execute("tap Delete");
    EXPECT_EQ(errorOf("alert Yes"), "the alert is still coming on screen (wait for it first)");
    EXPECT_FALSE(signUp->deleted);
    run("wait 0.3\nalert Yes\n");
    EXPECT_EQ(errorOf("alert Go"), "the alert is going off screen");
    run("wait 0.3\n");
    EXPECT_EQ(navigation->presentedViewController(), nullptr) << "the alert that took the press went";
    EXPECT_TRUE(signUp->deleted);

    signUp->presentViewController(std::make_shared<ImagePickerController>(), true);
    for (const char* line : { "picker pick", "picker cancel" })
        EXPECT_EQ(errorOf(line), "the image picker is still coming on screen (wait for it first)") << line;
    run("wait 0.3\npicker cancel\nwait 0.3\n");
    EXPECT_EQ(navigation->presentedViewController(), nullptr) << "the picker went once it had come";
}

TEST_F(ScreenDriverTest, BackgroundLeavesTheAppForTheTimeGiven)
{
    auto trips = std::make_shared<TripDelegate>();
    Application::shared().setDelegate(trips);
    Application::shared().launch();
    run("background 660\n");
    EXPECT_EQ(trips->back.secondsSince(trips->left), 660);
    EXPECT_EQ(Application::shared().applicationState(), ApplicationState::Active);
}

/// One row whose content sits in a horizontal pager of three screen widths, resting on the middle one.
class SwipeRows : public TableViewDataSource {
public:
    int numberOfRows(TableView&, int) override { return 1; }

    std::shared_ptr<TableViewCell> cellForRow(TableView&, const IndexPath&) override
    {
        auto cell = std::make_shared<TableViewCell>();
        auto pager = std::make_shared<ScrollView>(Rect(0, 0, 320, 44));
        pager->setContentSize({ 960, 44 });
        pager->setPagingEnabled(true);
        pager->setContentOffset({ 320, 0 });
        auto label = std::make_shared<Label>(Rect(330, 0, 300, 44));
        label->setText(std::string("Acme Ltd"));
        pager->addSubview(label);
        cell->contentView()->addSubview(pager);
        cell->contentView()->addGestureRecognizer(pager->panGestureRecognizer());
        return cell;
    }
};

TEST_F(ScreenDriverTest, SwipeDragsARowToRestAtTheOffset)
{
    auto rows = std::make_shared<SwipeRows>();
    auto table = std::make_shared<TableView>(Rect(0, 300, 320, 200));
    table->setDataSource(rows);
    window->addSubview(table);
    EXPECT_EQ(driver.execute("swipe Acme Ltd 0"), "the row rests at offset 0\n")
        << "the driver lays out the rows";
    EXPECT_THROW(driver.execute("swipe Acme Ltd 320"), ScreenDriverError)
        << "the row's text has left the screen";
    table->reloadData();
    EXPECT_EQ(driver.execute("swipe Acme Ltd 2000"), "the row rests at offset 640\n");
}

TEST_F(ScreenDriverTest, SwipeDragsAPagedViewOutsideRowsToTheNearestPage)
{
    auto pager = std::make_shared<ScrollView>(Rect(0, 100, 320, 200));
    pager->setContentSize({ 960, 200 });
    pager->setPagingEnabled(true);
    for (int page = 0; page < 3; ++page) {
        auto label = std::make_shared<Label>(Rect(320 * page + 10, 10, 300, 44));
        label->setText("Page " + std::to_string(page));
        pager->addSubview(label);
    }
    window->addSubview(pager);
    struct Case {
        const char* line;
        const char* printed;
    };
    for (auto [line, printed] : {
             Case { "swipe Page 0 150", "the page rests at offset 0\n" },
             Case { "swipe Page 0 170", "the page rests at offset 320\n" },
             Case { "swipe Page 1 2000", "the page rests at offset 640\n" },
             Case { "swipe Page 2 -50", "the page rests at offset 0\n" },
         })
        EXPECT_EQ(driver.execute(line), printed) << line;
    EXPECT_THROW(driver.execute("swipe Page 2 0"), ScreenDriverError) << "page 2 is off screen";

    auto plain = std::make_shared<ScrollView>(Rect(0, 320, 320, 100));
    plain->setContentSize({ 960, 100 });
    auto label = std::make_shared<Label>(Rect(10, 10, 300, 44));
    label->setText(std::string("Not paged"));
    plain->addSubview(label);
    window->addSubview(plain);
    EXPECT_THROW(driver.execute("swipe Not paged 100"), ScreenDriverError);
}

/// Rows with a label and an "Edit" button each, writing what is tapped into a journal.
class EditableRows : public TableViewDataSource, public TableViewDelegate {
public:
    explicit EditableRows(Journal journal)
        : m_journal(std::move(journal))
    {
    }

    int numberOfRows(TableView&, int) override { return 3; }

    std::shared_ptr<TableViewCell> cellForRow(TableView&, const IndexPath& indexPath) override
    {
        auto cell = std::make_shared<TableViewCell>();
        auto label = std::make_shared<Label>(Rect(10, 0, 180, 44));
        label->setText("Client " + std::to_string(indexPath.row));
        cell->contentView()->addSubview(label);
        auto edit = std::make_shared<Button>(ButtonType::System, Rect(200, 0, 100, 44));
        edit->setTitle("Edit " + std::to_string(indexPath.row));
        edit->addAction(ControlEvent::TouchUpInside, [journal = m_journal, row = indexPath.row](Control&) {
            journal->push_back("edit " + std::to_string(row));
        });
        cell->contentView()->addSubview(edit);
        return cell;
    }

    void didSelectRow(TableView&, const IndexPath& indexPath) override
    {
        m_journal->push_back("select " + std::to_string(indexPath.row));
    }

private:
    Journal m_journal;
};

/// A list of clients and, placed by constraints at the foot of the screen, a note field whose keyboard bar
/// carries "Done" and a "Send" button; nothing lays the view out but the screen itself.
class ClientsScreen : public ViewController {
public:
    explicit ClientsScreen(Journal journal)
        : m_rows(std::make_shared<EditableRows>(journal))
        , m_journal(std::move(journal))
    {
        setTitle("Clients");
    }

    void loadView() override
    {
        auto view = std::make_shared<View>(Screen::main().bounds());
        auto table = std::make_shared<TableView>(Rect(0, 0, 320, 300));
        table->setDataSource(m_rows);
        table->setDelegate(m_rows);
        view->addSubview(table);

        note = std::make_shared<TextField>();
        note->setPlaceholder(std::string("Note"));
        auto bar = std::make_shared<Toolbar>(Rect(0, 0, 320, Toolbar::height));
        bar->setItems({ BarButtonItem::flexibleSpace(),
            std::make_shared<BarButtonItem>(std::string("Done"), BarButtonItemStyle::Plain,
                [field = std::weak_ptr<TextField>(note)](BarButtonItem&) {
                    if (auto shown = field.lock())
                        shown->resignFirstResponder();
                }) });
        note->setInputAccessoryView(bar);
        auto send = std::make_shared<Button>(ButtonType::System);
        send->setTitle("Send");
        send->addAction(
            ControlEvent::TouchUpInside, [journal = m_journal](Control&) { journal->push_back("send"); });
        for (auto& placed : { std::static_pointer_cast<View>(note), std::static_pointer_cast<View>(send) }) {
            placed->setTranslatesAutoresizingMaskIntoConstraints(false);
            view->addSubview(placed);
        }
        view->addConstraints(VisualFormat::constraints("H:|-20-[note]-20-|", { { "note", note } }));
        view->addConstraints(VisualFormat::constraints("H:|-20-[send]-20-|", { { "send", send } }));
        view->addConstraints(VisualFormat::constraints(
            "V:[note(30)]-10-[send(44)]-20-|", { { "note", note }, { "send", send } }));
        setView(view);
    }

    std::shared_ptr<TextField> note;

private:
    std::shared_ptr<EditableRows> m_rows;
    Journal m_journal;
};

TEST_F(ScreenDriverTest, PushedScreensAreLaidOutAndTheirRowsTakeTapsOnTheirButtonsAndLabels)
{
    auto clients = std::make_shared<ClientsScreen>(journal);
    navigation->pushViewController(clients, true);
    takeJournal();
    run("wait 0.5\ntap Edit 1\ntap Client 2\ntap Send\n");
    EXPECT_THAT(takeJournal(), ElementsAre("edit 1", "select 2", "send"));
    EXPECT_THAT(driver.screen(), HasSubstr("Button (20, 504, 280, 44) \"Send\""));
}

TEST_F(ScreenDriverTest, TheKeyboardCoversTheFootOfTheScreenAndItsBarTakesTaps)
{
    auto clients = std::make_shared<ClientsScreen>(journal);
    navigation->pushViewController(clients, false);
    takeJournal();
    run("tap Note\ntype Paid in full\n");
    EXPECT_EQ(clients->note->text(), "Paid in full");
    EXPECT_THAT(
        driver.screen(), HasSubstr("keyboard bar:\nToolbar (0, 0, 320, 44) [flexible space] \"Done\"\n"));
    EXPECT_THROW(
        {
            try {
                driver.tap("Send");
            } catch (const ScreenDriverError& error) {
                EXPECT_THAT(error.what(), HasSubstr("\"Send\" cannot be tapped (disabled or covered)"));
                throw;
            }
        },
        ScreenDriverError);

    run("tap Done\ntap Send\n");
    EXPECT_FALSE(Keyboard::shared().isVisible());
    EXPECT_THAT(takeJournal(), ElementsAre("send"));
}

}
}
