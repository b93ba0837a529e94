#include "platform/ui/TextField.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace platform::ui;
using platform::foundation::Utf16Range;

namespace {

// Writes every delegate call into a shared log and answers as configured.
class RecordingDelegate : public TextFieldDelegate {
public:
    RecordingDelegate(std::vector<std::string>& log, std::string name)
        : m_log(log)
        , m_name(std::move(name))
    {
    }

    bool shouldBeginEditing(TextField&) override
    {
        m_log.push_back(m_name + " shouldBegin");
        return allowBegin;
    }
    void didBeginEditing(TextField&) override { m_log.push_back(m_name + " didBegin"); }
    bool shouldEndEditing(TextField&) override
    {
        m_log.push_back(m_name + " shouldEnd");
        return allowEnd;
    }
    void didEndEditing(TextField&) override { m_log.push_back(m_name + " didEnd"); }
    bool shouldChangeCharacters(TextField&, Utf16Range range, const std::string& replacement) override
    {
        m_log.push_back(m_name + " change " + std::to_string(range.location) + ","
            + std::to_string(range.length) + " '" + replacement + "'");
        return refused.find(replacement) == std::string::npos || replacement.empty();
    }
    bool shouldReturn(TextField& field) override
    {
        m_log.push_back(m_name + " shouldReturn");
        if (next) {
            field.resignFirstResponder();
            next->becomeFirstResponder();
        }
        return true;
    }

    bool allowBegin { true };
    bool allowEnd { true };
    std::string refused;
    std::shared_ptr<TextField> next;

private:
    std::vector<std::string>& m_log;
    std::string m_name;
};

struct FieldsInAWindow : testing::Test {
    std::shared_ptr<Window> window = std::make_shared<Window>(Rect { 0, 0, 320, 568 });
    std::shared_ptr<TextField> email = std::make_shared<TextField>(Rect { 10, 100, 300, 30 });
    std::shared_ptr<TextField> pin = std::make_shared<TextField>(Rect { 10, 150, 300, 30 });
    std::vector<std::string> log;
    std::shared_ptr<RecordingDelegate> emailDelegate = std::make_shared<RecordingDelegate>(log, "email");
    std::shared_ptr<RecordingDelegate> pinDelegate = std::make_shared<RecordingDelegate>(log, "pin");

    void SetUp() override
    {
        Keyboard::shared().reset();
        window->addSubview(email);
        window->addSubview(pin);
        email->setDelegate(emailDelegate);
        pin->setDelegate(pinDelegate);
        listen(*email, "email");
        listen(*pin, "pin");
    }

    void TearDown() override { Keyboard::shared().reset(); }

    void listen(TextField& field, const std::string& name)
    {
        const std::pair<ControlEvent, const char*> events[] = {
            { ControlEvent::EditingDidBegin, "begin" },
            { ControlEvent::EditingChanged, "changed" },
            { ControlEvent::EditingDidEnd, "end" },
            { ControlEvent::EditingDidEndOnExit, "exit" },
        };
        for (auto& [event, label] : events) {
            std::string entry = name + " event " + label;
            field.addAction(event, [this, entry](Control&) { log.push_back(entry); });
        }
    }
};

}

TEST_F(FieldsInAWindow, TypingGoesThroughTheDelegateOneKeyAtATime)
{
    ASSERT_TRUE(email->tap());
    EXPECT_TRUE(email->isFirstResponder());
    EXPECT_TRUE(email->isEditing());
    log.clear();

    EXPECT_EQ(Keyboard::shared().type("ab"), 2u);
    EXPECT_EQ(log,
        (std::vector<std::string> {
            "email change 0,0 'a'", "email event changed", "email change 1,0 'b'", "email event changed" }));
    EXPECT_EQ(email->text(), "ab");
}

TEST_F(FieldsInAWindow, BeginningAndEndingEditingTellTheDelegateAndTheTargetsInOrder)
{
    email->becomeFirstResponder();
    pin->becomeFirstResponder();
    window->endEditing(false);
    EXPECT_EQ(log,
        (std::vector<std::string> { "email shouldBegin", "email didBegin", "email event begin",
            "pin shouldBegin", "email shouldEnd", "email didEnd", "email event end", "pin didBegin",
            "pin event begin", "pin shouldEnd", "pin didEnd", "pin event end" }));
    EXPECT_EQ(window->currentFirstResponder(), nullptr);
}

TEST_F(FieldsInAWindow, ARefusedCharacterLeavesTheTextAndSendsNoEvent)
{
    emailDelegate->refused = "x";
    email->becomeFirstResponder();
    log.clear();
    EXPECT_EQ(email->typeText("axb"), 2u);
    EXPECT_EQ(email->text(), "ab");
    EXPECT_EQ(log,
        (std::vector<std::string> { "email change 0,0 'a'", "email event changed", "email change 1,0 'x'",
            "email change 1,0 'b'", "email event changed" }));
}

TEST_F(FieldsInAWindow, DeleteRemovesWholeCharactersCountedInUtf16Units)
{
    email->setText("a😀é");
    email->becomeFirstResponder();
    log.clear();
    EXPECT_TRUE(email->deleteBackward());
    EXPECT_EQ(email->text(), "a😀");
    EXPECT_TRUE(email->deleteBackward());
    EXPECT_EQ(email->text(), "a");
    EXPECT_EQ(log[0], "email change 3,1 ''");
    EXPECT_EQ(log[2], "email change 1,2 ''") << "the emoji is two UTF-16 units";
    email->deleteBackward();
    log.clear();
    EXPECT_FALSE(email->deleteBackward()) << "nothing left to delete";
    EXPECT_TRUE(log.empty());
}

TEST_F(FieldsInAWindow, TypingNeedsTheFieldToBeEditing)
{
    EXPECT_EQ(email->typeText("abc"), 0u);
    EXPECT_EQ(Keyboard::shared().type("abc"), 0u);
    EXPECT_EQ(email->text(), "");
    EXPECT_TRUE(log.empty());
}

TEST_F(FieldsInAWindow, ReturnLetsTheDelegateMoveTheFocusToTheNextField)
{
    emailDelegate->next = pin;
    email->becomeFirstResponder();
    log.clear();
    Keyboard::shared().pressReturn();
    EXPECT_TRUE(pin->isFirstResponder());
    EXPECT_EQ(log,
        (std::vector<std::string> { "email shouldReturn", "email shouldEnd", "email didEnd",
            "email event end", "pin shouldBegin", "pin didBegin", "pin event begin", "email event exit" }));
    EXPECT_EQ(Keyboard::shared().responder(), pin);
    EXPECT_EQ(Keyboard::shared().type("1"), 1u);
    EXPECT_EQ(pin->text(), "1");
}

TEST_F(FieldsInAWindow, ReturnEndsEditingOfAFieldWithActionsForTheExitEvent)
{
    auto plain = std::make_shared<TextField>(Rect { 10, 200, 300, 30 });
    window->addSubview(plain);
    plain->becomeFirstResponder();
    plain->pressReturn();
    EXPECT_TRUE(plain->isFirstResponder()) << "no delegate and no exit action: Return does nothing";

    email->becomeFirstResponder();
    email->pressReturn();
    EXPECT_FALSE(email->isFirstResponder());
    EXPECT_FALSE(Keyboard::shared().isVisible());
}

TEST_F(FieldsInAWindow, ADelegateCanRefuseToBeginOrToEndEditing)
{
    emailDelegate->allowBegin = false;
    EXPECT_FALSE(email->tap() && email->isFirstResponder());
    EXPECT_FALSE(Keyboard::shared().isVisible());

    pin->becomeFirstResponder();
    pinDelegate->allowEnd = false;
    emailDelegate->allowBegin = true;
    EXPECT_FALSE(email->becomeFirstResponder());
    EXPECT_TRUE(pin->isFirstResponder());
    EXPECT_FALSE(window->endEditing(false));
    EXPECT_TRUE(window->endEditing(true)) << "forcing ignores the refusal";
    EXPECT_FALSE(pin->isEditing());
}

TEST_F(FieldsInAWindow, ADisabledFieldCannotBecomeFirstResponder)
{
    email->setEnabled(false);
    EXPECT_FALSE(email->becomeFirstResponder());
    EXPECT_TRUE(log.empty());
}

TEST_F(FieldsInAWindow, OnlyAShownFieldInAWindowTakesTheWindowsOneFirstResponder)
{
    email->becomeFirstResponder();
    auto outside = std::make_shared<TextField>(Rect { 10, 200, 300, 30 });
    auto hidden = std::make_shared<TextField>(Rect { 10, 200, 300, 30 });
    hidden->setHidden(true);
    window->addSubview(hidden);
    auto container = std::make_shared<View>(Rect { 0, 300, 320, 100 });
    auto inHiddenContainer = std::make_shared<TextField>(Rect { 10, 0, 300, 30 });
    container->addSubview(inHiddenContainer);
    container->setHidden(true);
    window->addSubview(container);
    auto detachedTree = std::make_shared<View>(Rect { 0, 0, 320, 100 });
    auto inDetachedTree = std::make_shared<TextField>(Rect { 10, 0, 300, 30 });
    detachedTree->addSubview(inDetachedTree);
    log.clear();

    for (const auto& field : { outside, hidden, inHiddenContainer, inDetachedTree }) {
        EXPECT_FALSE(field->becomeFirstResponder());
        EXPECT_FALSE(field->isEditing());
    }
    EXPECT_TRUE(log.empty()) << "the window's field keeps editing, told nothing";
    EXPECT_TRUE(email->isFirstResponder());
    EXPECT_EQ(Keyboard::shared().responder(), email);

    container->setHidden(false);
    EXPECT_TRUE(inHiddenContainer->becomeFirstResponder());
    EXPECT_FALSE(email->isEditing()) << "one first responder per window";
}

TEST_F(FieldsInAWindow, RemovingTheEditingFieldEndsItsEditing)
{
    email->becomeFirstResponder();
    email->removeFromSuperview();
    EXPECT_FALSE(email->isEditing());
    EXPECT_EQ(window->currentFirstResponder(), nullptr);
    EXPECT_FALSE(Keyboard::shared().isVisible());
}

TEST_F(FieldsInAWindow, TheClearButtonEmptiesTheFieldWhenItShows)
{
    email->setText("a@b.co");
    email->setClearButtonMode(TextFieldViewMode::WhileEditing);
    EXPECT_FALSE(email->tapClearButton()) << "shown only while editing";
    email->becomeFirstResponder();
    log.clear();
    EXPECT_TRUE(email->tapClearButton());
    EXPECT_EQ(email->text(), "");
    EXPECT_EQ(log, (std::vector<std::string> { "email event changed" }));
}

TEST_F(FieldsInAWindow, AFieldCanBeItsOwnDelegate)
{
    struct DigitsOnly : TextField, TextFieldDelegate {
        DigitsOnly() { setDelegateToSelf(); }
        bool shouldChangeCharacters(TextField&, Utf16Range, const std::string& replacement) override
        {
            return replacement.find_first_not_of("0123456789") == std::string::npos;
        }
    };
    auto field = std::make_shared<DigitsOnly>();
    window->addSubview(field);
    field->becomeFirstResponder();
    EXPECT_EQ(field->typeText("1a2"), 2u);
    EXPECT_EQ(field->text(), "12");
}

TEST_F(FieldsInAWindow, AKeyTheFieldAppliesItselfCountsAsTaken)
{
    // Shows the digits in pairs, as a sort code does, applying each key itself.
    struct Pairs : TextField, TextFieldDelegate {
        Pairs() { setDelegateToSelf(); }
        bool shouldChangeCharacters(TextField&, Utf16Range, const std::string& replacement) override
        {
            if (replacement.empty() && !digits.empty())
                digits.pop_back();
            else if (replacement.find_first_not_of("0123456789") != std::string::npos || digits.size() == 4)
                return false;
            else
                digits += replacement;
            setText(digits.size() > 2 ? digits.substr(0, 2) + "-" + digits.substr(2) : digits);
            return false;
        }
        std::string digits;
    };
    auto field = std::make_shared<Pairs>();
    window->addSubview(field);
    field->becomeFirstResponder();
    EXPECT_EQ(field->typeText("12a345"), 4u) << "the letter and the fifth digit change nothing";
    EXPECT_EQ(field->text(), "12-34");

    // The keyboard, as a person or the screen driver uses it, counts the same way.
    EXPECT_EQ(Keyboard::shared().deleteBackward(3), 3u);
    EXPECT_EQ(field->text(), "1");
    EXPECT_EQ(Keyboard::shared().type("2x3"), 2u);
    EXPECT_EQ(field->text(), "12-3");
    EXPECT_TRUE(Keyboard::shared().paste("4"));
    EXPECT_FALSE(Keyboard::shared().paste("5")) << "full";
}

TEST_F(FieldsInAWindow, TextChangesArePostedAsNotifications)
{
    std::vector<const void*> senders;
    auto token = platform::foundation::NotificationCenter::defaultCenter().addObserver(
        TextField::textDidChangeNotification, nullptr,
        [&](const platform::foundation::Notification& n) { senders.push_back(n.object); });
    pin->becomeFirstResponder();
    pin->typeText("42");
    EXPECT_EQ(senders, (std::vector<const void*> { pin.get(), pin.get() }));
}

TEST_F(FieldsInAWindow, DumpShowsTextPlaceholderSecureEntryAndEditing)
{
    email->setPlaceholder("Email");
    EXPECT_EQ(email->describe(), "TextField (10, 100, 300, 30) placeholder \"Email\"");
    pin->setSecureTextEntry(true);
    pin->setText("12😀");
    pin->becomeFirstResponder();
    EXPECT_EQ(pin->describe(), "TextField (10, 150, 300, 30) \"\u2022\u2022\u2022\" [editing]");
}
