#pragma once

#include <memory>

namespace platform::ui {
class AlertController;
}

namespace zorvik {

class Question;

/// Turns a Question into an action sheet.
class QuestionViewControllerFactory {
public:
    /// An action sheet, not yet presented, titled with the prompt and showing the message (none when
    /// empty), with the positive answer first and the negative one second, both destructive, each running
    /// its answer's action when chosen. The caller presents it.
    static std::shared_ptr<platform::ui::AlertController> viewControllerWithQuestion(
        const Question& question);
};

}
