#include "Zorvik/Views/TwoButtonDialogView/TwoButtonDialogView.h"

#include "Zorvik/Views/TwoButtonDialogView/TwoButtonDialogControllerProtocol.h"
#include "Zorvik/tests/FrameFixture.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using platform::ui::View;

/// Writes down, in order with the handlers, which button it heard of and whether the dialog still showed.
class ButtonLog : public TwoButtonDialogControllerProtocol {
public:
    explicit ButtonLog(std::vector<std::string>& journal)
        : m_journal(journal)
    {
    }
    void negativeButtonPressed(TwoButtonDialogView& dialog) override { note("negative", dialog); }
    void positiveButtonPressed(TwoButtonDialogView& dialog) override { note("positive", dialog); }

private:
    void note(const std::string& button, TwoButtonDialogView& dialog)
    {
        m_journal.push_back("controller " + button + (dialog.superview() ? " (shown)" : " (gone)"));
    }
    std::vector<std::string>& m_journal;
};

class TwoButtonDialogViewTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        parent = std::make_shared<View>(window->bounds());
        window->addSubview(parent);
    }

    static std::shared_ptr<TwoButtonDialogView> reminder()
    {
        auto dialog = TwoButtonDialogView::make();
        dialog->setAlertTitleLabelText("Reminders");
        dialog->setAlertMessageLabelText("Shall we remind you before an invoice falls due?");
        dialog->setAlertNegativeButtonText("Not now");
        dialog->setAlertPositiveButtonText("Yes please");
        dialog->setIconImage(image("IconDownChevron"));
        return dialog;
    }

    std::shared_ptr<View> parent;
    std::vector<std::string> journal;
};

TEST_F(TwoButtonDialogViewTest, APressRemovesTheDialogBeforeItsHandlerRuns)
{
    struct Case {
        const char* button;
        const char* expectedController;
        const char* expectedHandler;
    };
    for (const Case& test : { Case { "Not now", "controller negative (shown)", "negative handler" },
             Case { "Yes please", "controller positive (shown)", "positive handler" } }) {
        SCOPED_TRACE(test.button);
        journal.clear();
        for (auto shown : parent->subviews())
            shown->removeFromSuperview();
        auto dialog = reminder();
        EXPECT_EQ(dialog->alertTitleLabel()->text(), "Reminders");
        EXPECT_EQ(dialog->iconImageView()->image(), image("IconDownChevron"));
        auto log = std::make_shared<ButtonLog>(journal);
        dialog->setController(log);
        std::shared_ptr<TwoButtonDialogView> next;
        auto handler = [&](const std::string& name) {
            return [&, name] {
                journal.push_back(name);
                EXPECT_TRUE(parent->subviews().empty()) << "the parent is clean for the next dialog";
                next = reminder();
                next->showInParent(parent, {}, {});
            };
        };
        dialog->showInParent(parent, handler("negative handler"), handler("positive handler"));
        tap(test.button);
        EXPECT_EQ(journal, (std::vector<std::string> { test.expectedController, test.expectedHandler }));
        ASSERT_EQ(parent->subviews().size(), 1u);
        EXPECT_EQ(parent->subviews()[0], next);
    }
}

TEST_F(TwoButtonDialogViewTest, EmptyHandlersAreNotCalled)
{
    auto dialog = reminder();
    dialog->showInParent(parent, {}, {});
    layout();
    EXPECT_EQ(dialog->convertRectTo(dialog->bounds(), parent.get()), parent->bounds());
    tap("Yes please");
    EXPECT_EQ(dialog->superview(), nullptr);
    dialog->showInParent(parent, {}, [&] { journal.push_back("positive"); });
    tap("Not now");
    EXPECT_TRUE(journal.empty());
}

}
}
