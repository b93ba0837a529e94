#include "ZorvikAPI/repositories/Outcome.h"

#include "platform/foundation/MainQueue.h"

namespace zorvik::api {

using platform::http::HttpError;

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
