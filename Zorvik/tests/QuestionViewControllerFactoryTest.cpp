#include "Zorvik/ViewControllers/QuestionsViewControllerFactory/QuestionViewControllerFactory.h"

#include "Zorvik/Controllers/FormController/Question.h"
#include "Zorvik/Views/SendInvoiceResultView/SendInvoiceResultView.h"
#include "Zorvik/tests/EditorHost.h"
#include "platform/ui/AlertController.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using platform::ui::AlertActionStyle;
using ::testing::HasSubstr;

class QuestionViewControllerFactoryTest : public EditorHostTest { };

TEST_F(QuestionViewControllerFactoryTest, AsksTheQuestionAsASheetOfTwoDestructiveAnswers)
{
    std::vector<std::string> chosen;
    auto question = Question::withPrompt("Discard last changes?", "",
        Answer::answerWithText("Yes, cancel", [&] { chosen.push_back("yes"); }),
        Answer::answerWithText("No", [&] { chosen.push_back("no"); }));
    auto sheet = QuestionViewControllerFactory::viewControllerWithQuestion(question);
    EXPECT_EQ(sheet->preferredStyle(), platform::ui::AlertControllerStyle::ActionSheet);
    EXPECT_EQ(sheet->title(), "Discard last changes?");
    EXPECT_FALSE(sheet->message()) << "an empty message shows none";
    ASSERT_EQ(sheet->actions().size(), 2u);
    EXPECT_EQ(sheet->actions()[0]->title(), "Yes, cancel");
    EXPECT_EQ(sheet->actions()[1]->title(), "No");
    for (const auto& action : sheet->actions())
        EXPECT_EQ(action->style(), AlertActionStyle::Destructive);

    host->presentViewController(sheet, false);
    EXPECT_THAT(screen(), HasSubstr("\"Discard last changes?\""));
    driver.pickAlertAction("No");
    advance(0.5);
    EXPECT_EQ(chosen, std::vector<std::string> { "no" });
}

TEST_F(QuestionViewControllerFactoryTest, AnAnswerWithoutActionOnlyClosesTheSheet)
{
    auto sheet = QuestionViewControllerFactory::viewControllerWithQuestion(
        Question("Delete?", "It goes for good.", Answer { "Yes" }, Answer { "No" }));
    EXPECT_EQ(sheet->message(), "It goes for good.");
    host->presentViewController(sheet, false);
    driver.pickAlertAction("Yes");
    advance(0.5);
    EXPECT_FALSE(host->presentedViewController());
}

TEST_F(QuestionViewControllerFactoryTest, TheResultOverlayShowsItsWord)
{
    auto overlay = XibViewObjcmb::create<SendInvoiceResultView>();
    overlay->setText(std::string("Oops"));
    EXPECT_EQ(overlay->text(), "Oops");
    host->view()->addSubview(overlay);
    EXPECT_THAT(screen(), HasSubstr("\"Oops\""));
}

}
}
