#include "testing/backend/OutcomeLog.h"

#include "platform/foundation/MainQueue.h"

namespace testing {

zorvik::api::Block OutcomeLog::note(std::string name)
{
    return [this, name] { outcomes.push_back(name); };
}

zorvik::api::ValueBlock OutcomeLog::value(std::string name)
{
    return [this, name](const platform::foundation::Value& value) {
        outcomes.push_back(name);
        answer = value;
    };
}

zorvik::api::RecordBlock OutcomeLog::record(std::string name)
{
    return [this, name](const platform::foundation::DictionaryRef& record) {
        outcomes.push_back(name);
        answer = record;
    };
}

zorvik::api::ArrayBlock OutcomeLog::list(std::string name)
{
    return [this, name](const platform::foundation::ArrayRef& records) {
        outcomes.push_back(name);
        answer = records;
    };
}

zorvik::api::ErrorBlock OutcomeLog::failure()
{
    return [this](const platform::http::HttpError& failed) {
        outcomes.push_back("error");
        error = failed;
    };
}

std::string OutcomeLog::only() const
{
    if (outcomes.size() == 1)
        return outcomes.front();
    std::string all = "outcomes:";
    for (auto& outcome : outcomes)
        all += " " + outcome;
    return all;
}

bool settle(const OutcomeLog& log)
{
    auto& queue = platform::foundation::mainQueue();
    bool settled = queue.runUntil([&] { return !log.outcomes.empty(); });
    queue.runUntilIdle();
    return settled;
}

}
