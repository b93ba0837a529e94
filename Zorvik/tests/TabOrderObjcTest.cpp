#include "Zorvik/Controllers/TabOrderController/TabOrderObjc.h"

#include "Zorvik/Controllers/TabOrderController/TextFieldHolder.h"
#include "Zorvik/tests/FrameFixture.h"
#include "platform/ui/TextField.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using platform::ui::Control;
using platform::ui::Keyboard;
using platform::ui::Rect;
using platform::ui::ReturnKeyType;
using platform::ui::TextField;

/// An amount entry that wraps its field, as the line item row's amount view does.
class AmountView : public Control, public TextFieldHolder {
public:
    explicit AmountView(Rect frame)
        : Control(frame)
    {
    }

    void attach()
    {
        field->setPlaceholder(std::string("amount"));
        addSubview(field);
        std::weak_ptr<const void> self = weak_from_this();
        field->addTarget(self, platform::ui::ControlEvent::EditingDidBegin,
            [this](Control&) { sendActions(platform::ui::ControlEvent::EditingDidBegin); });
        field->addTarget(self, platform::ui::ControlEvent::EditingDidEndOnExit,
            [this](Control&) { sendActions(platform::ui::ControlEvent::EditingDidEndOnExit); });
    }
    std::shared_ptr<TextField> heldTextField() const override { return field; }
    bool becomeFirstResponder() override { return field->becomeFirstResponder(); }
    bool resignFirstResponder() override { return field->resignFirstResponder(); }

    std::shared_ptr<TextField> field { std::make_shared<TextField>(Rect { 0, 0, 280, 30 }) };
};

class TabOrderObjcTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        double y = 80;
        for (const char* name : { "description", "company", "email" }) {
            auto field = std::make_shared<TextField>(Rect { 20, y, 280, 30 });
            field->setPlaceholder(std::string(name));
            window->addSubview(field);
            fields.push_back(field);
            y += 40;
        }
    }

    std::vector<TabOrderObjc::Field> list() const { return { fields.begin(), fields.end() }; }

    /// The placeholder of the field being edited, or "(none)" with the keyboard down.
    static std::string editing()
    {
        auto field = std::dynamic_pointer_cast<TextField>(Keyboard::shared().responder());
        return field ? field->placeholder().value_or("?") : "(none)";
    }

    std::vector<std::shared_ptr<TextField>> fields;
    std::vector<std::string> began;
};

TEST_F(TabOrderObjcTest, ReturnWalksTheListAndOnlyTheLastFieldSaysDone)
{
    auto order = TabOrderObjc::make(list(), false, {},
        [this](Control& field) { began.push_back(static_cast<TextField&>(field).placeholder().value()); });
    tap("description");
    EXPECT_EQ(fields[0]->returnKeyType(), ReturnKeyType::Next);
    driver.pressReturn();
    EXPECT_EQ(editing(), "company");
    EXPECT_EQ(fields[1]->returnKeyType(), ReturnKeyType::Next);
    driver.pressReturn();
    EXPECT_EQ(editing(), "email");
    EXPECT_EQ(fields[2]->returnKeyType(), ReturnKeyType::Done);
    EXPECT_EQ(order->current(), fields[2]);
    driver.pressReturn();
    EXPECT_EQ(editing(), "(none)");
    EXPECT_FALSE(Keyboard::shared().isVisible());
    EXPECT_EQ(order->current(), nullptr);
    EXPECT_EQ(began, (std::vector<std::string> { "description", "company", "email" }));

    EXPECT_EQ(order->next(), nullptr) << "next never starts from the top";
    EXPECT_EQ(editing(), "(none)");
}

TEST_F(TabOrderObjcTest, CleverCompleteSaysDoneOnceEveryOtherFieldHoldsText)
{
    struct Case {
        const char* name;
        bool cleverComplete;
        bool otherFieldsFilled;
        ReturnKeyType expected;
    };
    const Case cases[] = {
        { "clever, others filled", true, true, ReturnKeyType::Done },
        { "clever, one other empty", true, false, ReturnKeyType::Next },
        { "not clever, others filled", false, true, ReturnKeyType::Next },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        fields[0]->setText("");
        fields[1]->setText("");
        fields[2]->setText(test.otherFieldsFilled ? "amy@example.com" : "");
        fields[0]->setText(test.otherFieldsFilled ? "Decorating" : "");
        auto order = TabOrderObjc::make(list(), test.cleverComplete);
        fields[1]->becomeFirstResponder();
        EXPECT_EQ(fields[1]->returnKeyType(), test.expected);
        EXPECT_EQ(order->isFormNearlyComplete(), test.cleverComplete && test.otherFieldsFilled);
        fields[1]->resignFirstResponder();
    }
}

TEST_F(TabOrderObjcTest, RefusedFieldsAreSkippedInListOrder)
{
    auto order = TabOrderObjc::make(
        list(), true, [](Control& field) { return static_cast<TextField&>(field).text().empty(); });
    fields[1]->setText("Acme Ltd");
    tap("description");
    driver.pressReturn();
    EXPECT_EQ(editing(), "email") << "the filled company field is skipped";

    fields[2]->setText("amy@example.com");
    fields[2]->resignFirstResponder();
    tap("description");
    EXPECT_EQ(fields[0]->returnKeyType(), ReturnKeyType::Done) << "everything else is filled";
    driver.pressReturn();
    EXPECT_EQ(editing(), "(none)") << "no later field is accepted: Return closes the keyboard";
    EXPECT_EQ(order->current(), nullptr);

    tap("Acme Ltd");
    EXPECT_EQ(order->current(), fields[1]) << "a tapped field is current even when next() would skip it";
    EXPECT_FALSE(order->isNext(*fields[1]));
}

TEST_F(TabOrderObjcTest, AListOfOneFieldIsDoneAtOnce)
{
    auto order = TabOrderObjc::make({ fields[2] }, false);
    tap("email");
    EXPECT_EQ(fields[2]->returnKeyType(), ReturnKeyType::Done);
    driver.pressReturn();
    EXPECT_FALSE(Keyboard::shared().isVisible());
}

TEST_F(TabOrderObjcTest, AControlThatHoldsAFieldTakesPartThroughIt)
{
    auto amount = std::make_shared<AmountView>(Rect { 20, 300, 280, 30 });
    amount->attach();
    window->addSubview(amount);
    auto order = TabOrderObjc::make({ fields[0], amount }, true);
    amount->field->setText("12.50");
    tap("description");
    EXPECT_EQ(fields[0]->returnKeyType(), ReturnKeyType::Done) << "the held field's text counts";
    driver.pressReturn();
    EXPECT_EQ(editing(), "amount");
    EXPECT_EQ(order->current(), amount);
    EXPECT_EQ(amount->field->returnKeyType(), ReturnKeyType::Done);
}

}
}
