#pragma once

#include <string>
#include <utility>

namespace zorvik {

/// One answer to a Question: the text of its button.
struct Answer {
    std::string text;
};

/// A confirmation question that a form asks before it throws edits away: a prompt, a message and the texts
/// of the answer that goes ahead (positive) and of the one that holds back (negative).
class Question {
public:
    /// A question of these texts.
    static Question withPrompt(
        std::string prompt, std::string message, Answer positiveAnswer, Answer negativeAnswer)
    {
        Question question;
        question.m_prompt = std::move(prompt);
        question.m_message = std::move(message);
        question.m_positiveAnswer = std::move(positiveAnswer);
        question.m_negativeAnswer = std::move(negativeAnswer);
        return question;
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
