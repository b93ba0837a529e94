#include "Zorvik/ViewControllers/QuestionsViewControllerFactory/QuestionViewControllerFactory.h"

#include "Zorvik/Controllers/FormController/Question.h"
#include "platform/ui/AlertController.h"

namespace zorvik {

using platform::ui::AlertAction;
using platform::ui::AlertActionStyle;
using platform::ui::AlertController;

namespace {

std::shared_ptr<AlertAction> destructiveAction(const Answer& answer)
{
    return std::make_shared<AlertAction>(
        answer.text, AlertActionStyle::Destructive, [action = answer.action](AlertAction&) {
            if (action)
                action();
        });
}

}

std::shared_ptr<AlertController> QuestionViewControllerFactory::viewControllerWithQuestion(
    const Question& question)
{
    auto sheet = std::make_shared<AlertController>(
        question.prompt(), question.message(), platform::ui::AlertControllerStyle::ActionSheet);
    sheet->addAction(destructiveAction(question.positiveAnswer()));
    sheet->addAction(destructiveAction(question.negativeAnswer()));
    return sheet;
}

}
