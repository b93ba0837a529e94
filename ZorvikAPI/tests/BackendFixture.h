#pragma once

#include "ZorvikAPI/repositories/Outcome.h"
#include "ZorvikAPI/repositories/RESTRepositories/RESTRepository.h"
#include "platform/foundation/MainQueue.h"
#include "platform/http/SessionManager.h"
#include "testing/server/LoopbackServer.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace zorvik::api::test {

/// How many times a scripted answer is given for one request (see the scripting in the tests).
constexpr std::size_t kAttempts = 8;

/// What the outcome blocks of one request reported, in the order they ran.
struct OutcomeLog {
    std::vector<std::string> outcomes;
    platform::foundation::Value answer;
    platform::http::HttpError error;

    /// A block that logs `name`.
    Block note(std::string name)
    {
        return [this, name] { outcomes.push_back(name); };
    }
    /// A block that logs `name` and keeps the answer.
    ValueBlock value(std::string name = "ok")
    {
        return [this, name](const platform::foundation::Value& value) {
            outcomes.push_back(name);
            answer = value;
        };
    }
    /// A block that logs `name` and keeps the record.
    RecordBlock record(std::string name = "ok")
    {
        return [this, name](const platform::foundation::DictionaryRef& record) {
            outcomes.push_back(name);
            answer = record;
        };
    }
    /// A block that logs "error" and keeps the error.
    ErrorBlock failure()
    {
        return [this](const platform::http::HttpError& failed) {
            outcomes.push_back("error");
            error = failed;
        };
    }
    /// The one outcome reported, or a description of what went wrong.
    std::string only() const
    {
        if (outcomes.size() == 1)
            return outcomes.front();
        std::string all = "outcomes:";
        for (auto& outcome : outcomes)
            all += " " + outcome;
        return all;
    }
};

/// A loopback server and the one session manager that the library sends through.
class BackendTest : public ::testing::Test {
protected:
    /// Runs the main queue until `log` has an outcome (or five seconds pass), then whatever else is due.
    void settle(const OutcomeLog& log)
    {
        auto& queue = platform::foundation::mainQueue();
        queue.runUntil([&] { return !log.outcomes.empty(); });
        queue.runUntilIdle();
    }

    /// A REST repository at `path` on the server.
    std::shared_ptr<RESTRepository> repositoryAt(std::string_view path)
    {
        return std::make_shared<RESTRepository>(m_manager, m_server.url(path));
    }

    /// The latest request the server received; fails the test when there is none.
    ::testing::ServerRequest lastRequest()
    {
        auto request = m_server.lastRequest();
        EXPECT_TRUE(request.has_value());
        return request.value_or(::testing::ServerRequest {});
    }

    ::testing::LoopbackServer m_server;
    std::shared_ptr<platform::http::SessionManager> m_manager {
        std::make_shared<platform::http::SessionManager>()
    };
};

}
