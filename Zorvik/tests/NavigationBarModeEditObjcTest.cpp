#include "Zorvik/Views/NavigationBarModes/NavigationBarModeEditObjc.h"

#include "Zorvik/Views/Colours/ColoursObjc.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/NavigationBar/NavigationBarTheme.h"
#include "Zorvik/tests/FrameFixture.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/Button.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using platform::foundation::Dictionary;
using platform::ui::Color;

/// A form as the edit mode sees it: it writes down what it is asked, answers cancels as told, and keeps
/// the blocks of each save so that a test decides when and how the save ends (or answers at once).
class FormLog : public NavigationBarModeEditDelegateObjc {
public:
    enum class Answer { Later, SavedAtOnce, FailedAtOnce };

    void save(SavedBlock saved, SaveFailedBlock saveFailed) override
    {
        calls.push_back("save");
        if (bar)
            bar->showLoadingViewWithColour(ColoursObjc::teal());
        this->saved = std::move(saved);
        this->failed = std::move(saveFailed);
        if (answer == Answer::SavedAtOnce)
            this->saved(Document());
        else if (answer == Answer::FailedAtOnce)
            this->failed("Oops", "There was a problem.", "Try again.");
    }
    bool cancelled(const Document& unedited) override
    {
        calls.push_back("cancelled");
        cancelledWith = unedited;
        return acceptCancel;
    }
    void done() override { calls.push_back("done"); }

    std::shared_ptr<NavigationBar> bar;
    Answer answer { Answer::Later };
    bool acceptCancel { true };
    std::vector<std::string> calls;
    Document cancelledWith;
    SavedBlock saved;
    SaveFailedBlock failed;
};

class NavigationBarModeEditObjcTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        bar = NavigationBar::make("Business details");
        window->addSubview(bar);
        form->bar = bar;
        mode = NavigationBarModeEditObjc::make(bar, form, record);
    }

    // What the bar's buttons show: "cancel|save", "BtnTealLessThan|done", with "(spinner)" for the spinner.
    std::string buttons() const
    {
        auto describe = [](const std::shared_ptr<platform::ui::Button>& button) {
            if (button->isHidden())
                return std::string("(hidden)");
            if (auto title = button->currentTitle())
                return *title;
            return button->image() ? button->image()->name() : std::string("(empty)");
        };
        std::string right = bar->loadingView()->isHidden() ? describe(bar->positiveButton()) : "(spinner)";
        return describe(bar->negativeButton()) + "|" + right;
    }

    std::shared_ptr<NavigationBar> bar;
    std::shared_ptr<FormLog> form { std::make_shared<FormLog>() };
    platform::foundation::DictionaryRef record = Dictionary::make({ { "name", "Acme Ltd" } });
    std::shared_ptr<NavigationBarModeEditObjc> mode;
};

TEST_F(NavigationBarModeEditObjcTest, AModeObservesItsBarAndSwitchesThemesWithTheFlag)
{
    EXPECT_EQ(bar->observer(), mode);
    EXPECT_FALSE(mode->isEditing());
    EXPECT_EQ(buttons(), "BtnTealLessThan|done");
    EXPECT_EQ(bar->titleColour(), ColoursObjc::teal());

    mode->setIsEditing(true);
    EXPECT_EQ(buttons(), "cancel|save");
    EXPECT_EQ(bar->titleColour(), Color::black());
    auto save = bar->positiveButton();
    mode->setIsEditing(true);
    EXPECT_TRUE(mode->isEditing());
    EXPECT_NE(bar->positiveButton(), save) << "the theme is applied again";

    mode->setEditing(false);
    EXPECT_EQ(buttons(), "cancel|save") << "the plain setter applies no theme";
    mode->enableEditing();
    mode->disableEditing();
    EXPECT_EQ(buttons(), "BtnTealLessThan|done");
    EXPECT_FALSE(mode->isEditing());
}

TEST_F(NavigationBarModeEditObjcTest, GivenThemesAreUsedAndTheDefaultsAreNewEachTime)
{
    auto chevron = NavigationBarModeEditObjc::defaultDisabledThemeNegativeDownChevron();
    auto editing = mode->defaultEditing();
    editing->setTitleColour(Color::red());
    auto otherBar = NavigationBar::make("Invoice number");
    auto other = NavigationBarModeEditObjc::make(otherBar, form, Document(), chevron, editing);
    EXPECT_EQ(otherBar->negativeButton()->image(), image("IconDownChevron"));
    other->setIsEditing(true);
    EXPECT_EQ(otherBar->titleColour(), Color::red());

    EXPECT_NE(
        NavigationBarModeEditObjc::defaultEditingTheme(), NavigationBarModeEditObjc::defaultEditingTheme());
    EXPECT_EQ(NavigationBarModeEditObjc::defaultEditingTheme()->titleColour(), Color::black())
        << "changing one theme leaves the next untouched";
}

TEST_F(NavigationBarModeEditObjcTest, BothButtonsLeaveTheFormWhileItIsNotEdited)
{
    tap("BtnTealLessThan");
    tap("done");
    EXPECT_EQ(form->calls, (std::vector<std::string> { "done", "done" }));
    EXPECT_FALSE(mode->isEditing());
    EXPECT_EQ(buttons(), "BtnTealLessThan|done");
}

TEST_F(NavigationBarModeEditObjcTest, CancelHandsBackTheSnapshotTakenBeforeTheEdits)
{
    record->set("name", "Acme Widgets Ltd");
    mode->setIsEditing(true);
    form->acceptCancel = false;
    tap("cancel");
    EXPECT_EQ(form->cancelledWith.dictionary()->get("name"), "Acme Ltd");
    EXPECT_NE(form->cancelledWith.dictionary(), record);
    EXPECT_TRUE(mode->isEditing()) << "a refused cancel keeps editing";
    EXPECT_EQ(buttons(), "cancel|save");

    form->acceptCancel = true;
    tap("cancel");
    EXPECT_FALSE(mode->isEditing());
    EXPECT_EQ(buttons(), "BtnTealLessThan|done");
    EXPECT_EQ(form->calls, (std::vector<std::string> { "cancelled", "cancelled" }));
}

TEST_F(NavigationBarModeEditObjcTest, ASaveEndsAsItsFirstOutcomeSays)
{
    struct Case {
        const char* name;
        FormLog::Answer answer;
        bool laterSuccess;
        bool editingAfter;
        const char* buttonsAfter;
    };
    const Case cases[] = {
        { "saved later", FormLog::Answer::Later, true, false, "BtnTealLessThan|done" },
        { "failed later", FormLog::Answer::Later, false, true, "cancel|save" },
        { "saved before the save returned", FormLog::Answer::SavedAtOnce, true, false,
            "BtnTealLessThan|done" },
        { "failed before the save returned", FormLog::Answer::FailedAtOnce, false, true, "cancel|save" },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        form->calls.clear();
        form->answer = test.answer;
        mode->setIsEditing(true);
        tap("save");
        if (test.answer == FormLog::Answer::Later) {
            EXPECT_TRUE(mode->isSaving());
            EXPECT_FALSE(mode->isEditing());
            EXPECT_EQ(buttons(), "cancel|(spinner)");
            if (test.laterSuccess)
                form->saved(Document());
            else
                form->failed("Oops", "There was a problem.", "Try again.");
        }
        EXPECT_FALSE(mode->isSaving());
        EXPECT_EQ(mode->isEditing(), test.editingAfter);
        EXPECT_EQ(buttons(), test.buttonsAfter);

        form->saved(Document());
        form->failed("Oops", "Again", "Ok");
        EXPECT_EQ(mode->isEditing(), test.editingAfter) << "only the first outcome counts";

        if (test.editingAfter) {
            tap("cancel");
            EXPECT_EQ(form->calls, (std::vector<std::string> { "save", "cancelled" }))
                << "after a failure cancel still cancels";
        }
        mode->setIsEditing(false);
    }
}

TEST_F(NavigationBarModeEditObjcTest, PressesWaitWhileASaveIsOutstanding)
{
    mode->setIsEditing(true);
    tap("save");
    ASSERT_TRUE(mode->isSaving());
    tap("cancel");
    mode->positivePressed();
    EXPECT_EQ(form->calls, std::vector<std::string> { "save" }) << "the form is neither left nor cancelled";
    EXPECT_EQ(buttons(), "cancel|(spinner)");

    advance(60);
    EXPECT_TRUE(mode->isSaving()) << "a save that never answers keeps the spinner";
    form->failed("Oops", "No answer", "Try again.");
    tap("cancel");
    EXPECT_EQ(form->calls, (std::vector<std::string> { "save", "cancelled" }));
}

TEST_F(NavigationBarModeEditObjcTest, ABlockThatOutlivesTheModeDoesNothing)
{
    mode->setIsEditing(true);
    tap("save");
    mode.reset();
    form->saved(Document());
    EXPECT_EQ(buttons(), "cancel|(spinner)");
}

TEST(NavigationBarModeEditObjcDeathTest, ABarTakesOneModeOnly)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto form = std::make_shared<FormLog>();
    EXPECT_DEATH(
        {
            registerFrameNibs();
            auto bar = NavigationBar::make("Twice");
            auto first = NavigationBarModeEditObjc::make(bar, form, Document());
            auto second = NavigationBarModeEditObjc::make(bar, form, Document());
        },
        "navigationBar.observer == nil");
}

}
}
