#include "ZorvikAPI/repositories/Outcome.h"

#include "platform/foundation/MainQueue.h"

namespace zorvik::api {

using platform::http::HttpError;
using platform::http::SessionManager;
using platform::http::Task;

void reportError(const ErrorBlock& error, const HttpError& failure)
{
    if (error)
        error(failure);
}

void reportOutcome(const Block& outcome, const ErrorBlock& error, const HttpError& failure)
{
    if (outcome)
        outcome();
    else
        reportError(error, failure);
}

SessionManager::Failure mapFailure(int status, Block outcome, ErrorBlock error)
{
    return [status, outcome = std::move(outcome), error = std::move(error)](
               const Task& task, const HttpError& failure) {
        if (task.statusCode() == status)
            reportOutcome(outcome, error, failure);
        else
            reportError(error, failure);
    };
}

void reportLocalError(const ErrorBlock& error, std::string message)
{
    platform::foundation::mainQueue().async([error, message = std::move(message)] {
        reportError(error, HttpError(HttpError::Code::Other, message));
    });
}

HttpError unexpectedAnswerError()
{
    return HttpError(
        HttpError::Code::CannotParseResponse, "The server's answer does not hold the expected data");
}

}
