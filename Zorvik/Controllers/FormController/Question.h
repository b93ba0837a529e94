#pragma once

#include <functional>
#include <string>
#include <utility>

namespace zorvik {

/// One answer to a Question: the text of its button and what to run when it is chosen (may be empty).
struct Answer {
    /// Runs when the answer is chosen.
    using Action = std::function<void()>;

    /// An answer of this text and action.
    Answer(std::string text = {}, Action action = {})
        : text(std::move(text))
        , action(std::move(action))
    {
    }

    /// An answer of this text and action.
    static Answer answerWithText(std::string text, Action action)
    {
        return Answer(std::move(text), std::move(action));
    }

    std::string text;
    Action action;
};

/// A yes/no question as plain data, so that a view can state what to ask and its controller choose how to
/// ask it: a prompt, a message and the answer that goes ahead (positive) and the one that holds back
/// (negative). Everything is set at creation.
class Question {
public:
    Question() = default;
    /// A question of these texts and answers.
    Question(std::string prompt, std::string message, Answer positiveAnswer, Answer negativeAnswer)
        : m_prompt(std::move(prompt))
        , m_message(std::move(message))
        , m_positiveAnswer(std::move(positiveAnswer))
        , m_negativeAnswer(std::move(negativeAnswer))
    {
    }

    /// A question of these texts and answers.
    static Question withPrompt(
        std::string prompt, std::string message, Answer positiveAnswer, Answer negativeAnswer)
    {
        return Question(
            std::move(prompt), std::move(message), std::move(positiveAnswer), std::move(negativeAnswer));
    }

    /// The question asked.
    const std::string& prompt() const { return m_prompt; }
    /// The explanation under it (may be empty).
    const std::string& message() const { return m_message; }
    /// The answer that goes ahead.
    const Answer& positiveAnswer() const { return m_positiveAnswer; }
    /// The answer that holds back.
    const Answer& negativeAnswer() const { return m_negativeAnswer; }

private:
    std::string m_prompt;
    std::string m_message;
    Answer m_positiveAnswer;
    Answer m_negativeAnswer;
};

}
