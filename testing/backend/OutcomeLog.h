#pragma once

#include "ZorvikAPI/repositories/Outcome.h"
#include "platform/foundation/Value.h"
#include "platform/http/HttpError.h"

#include <string>
#include <vector>

namespace testing {

/// What the outcome blocks of one request reported, in the order they ran: hand its blocks to a call of
/// the API library, then settle() it.
struct OutcomeLog {
    std::vector<std::string> outcomes;
    platform::foundation::Value answer;
    platform::http::HttpError error;

    /// A block that logs `name`.
    zorvik::api::Block note(std::string name);
    /// A block that logs `name` and keeps the answer.
    zorvik::api::ValueBlock value(std::string name = "ok");
    /// A block that logs `name` and keeps the record.
    zorvik::api::RecordBlock record(std::string name = "ok");
    /// A block that logs `name` and keeps the list.
    zorvik::api::ArrayBlock list(std::string name = "ok");
    /// A block that logs `name` and keeps the typed record's record (a Business, an Invoice...).
    template<class Record> zorvik::api::RecordOutcome<Record> typed(std::string name = "ok")
    {
        return [this, name](const Record& typedRecord) {
            outcomes.push_back(name);
            answer = typedRecord.record();
        };
    }
    /// A block that logs "error" and keeps the error.
    zorvik::api::ErrorBlock failure();

    /// The one outcome reported, or a description of what went wrong.
    std::string only() const;
};

/// Runs the main queue until `log` has an outcome (or five seconds pass), then whatever else is due.
/// Returns whether an outcome came.
bool settle(const OutcomeLog& log);

}
