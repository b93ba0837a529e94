#pragma once

#include "platform/foundation/Value.h"
#include "platform/http/HttpError.h"
#include "platform/http/SessionManager.h"

#include <functional>
#include <string>

namespace zorvik::api {

/// An outcome that carries nothing (not found, already exists, deleted).
using Block = std::function<void()>;
/// An outcome that carries the server's answer (an object, an array, or null for an empty body).
using ValueBlock = std::function<void(const platform::foundation::Value& answer)>;
/// An outcome that carries one record.
using RecordBlock = std::function<void(const platform::foundation::DictionaryRef& record)>;
/// An outcome that carries a list of records.
using ArrayBlock = std::function<void(const platform::foundation::ArrayRef& records)>;
/// An outcome that carries one typed record (a Business, an Invoice...).
template<class Record> using RecordOutcome = std::function<void(const Record& record)>;
/// The failure outcome: the session's error, or one made here for a request that could not be sent.
using ErrorBlock = std::function<void(const platform::http::HttpError& error)>;

/// Calls `error` with `failure` when it is given.
void reportError(const ErrorBlock& error, const platform::http::HttpError& failure);

/// Calls `outcome`, or, when the caller gave no block for it, `error` with `failure`: an outcome
/// without a block is never lost.
void reportOutcome(const Block& outcome, const ErrorBlock& error, const platform::http::HttpError& failure);

/// A session failure handler that sends a failure whose status is `status` to `outcome` (see reportOutcome),
/// every other one to `error`.
platform::http::SessionManager::Failure mapFailure(int status, Block outcome, ErrorBlock error);

/// Reports `message` as an error on the main queue without sending anything, so that a request
/// refused here keeps the asynchronous contract of one that failed on the server.
void reportLocalError(const ErrorBlock& error, std::string message);

/// The error for a successful answer that does not hold what the request asked for (a list where a
/// record was expected, or nothing at all).
platform::http::HttpError unexpectedAnswerError();

}
