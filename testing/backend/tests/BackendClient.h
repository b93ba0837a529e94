#pragma once

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"
#include "platform/http/SessionManager.h"
#include "testing/backend/Backend.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

namespace testing {

/// What one request brought back: the status (0 when no answer came) and the
/// JSON body (null when there was none).
struct BackendAnswer {
    int status { 0 };
    platform::foundation::Value body;

    /// The body as an object, or null.
    platform::foundation::DictionaryRef object() const { return body.dictionary(); }
    /// The body as a list, or null.
    platform::foundation::ArrayRef list() const { return body.array(); }
    /// The key's value of an object answer, or null.
    platform::foundation::Value operator[](std::string_view key) const
    {
        auto record = object();
        return record ? record->get(key) : platform::foundation::Value();
    }
};

/// Talks to a Backend the way the app does (the platform's HTTP session, JSON
/// in and out), one request at a time, waiting on the main queue for each.
class BackendClient {
public:
    explicit BackendClient(const Backend& backend)
        : m_backend(backend)
    {
    }

    /// Sends `method` to `path` with `parameters` (a JSON body for POST and
    /// PUT, the query for GET and DELETE) and the token, when not empty.
    BackendAnswer send(std::string_view method, std::string_view path,
        const platform::foundation::Value& parameters = {}, std::string_view token = {})
    {
        if (token.empty())
            m_session->removeHeader("Authorization");
        else
            m_session->setHeader("Authorization", token);
        bool done = false;
        BackendAnswer answer;
        m_session->request(
            method, m_backend.url(path), parameters,
            [&](const platform::http::Task& task, const platform::foundation::Value& value) {
                answer = BackendAnswer { task.statusCode(), value };
                done = true;
            },
            [&](const platform::http::Task&, const platform::http::HttpError& error) {
                answer = BackendAnswer { error.statusCode(), error.bodyObject() };
                done = true;
            });
        EXPECT_TRUE(platform::foundation::mainQueue().runUntil([&] { return done; }));
        return answer;
    }

    /// A new account with `email` and `password`, logged in: its id and token.
    std::pair<std::int64_t, std::string> signUp(std::string_view email, std::string_view password = "1234")
    {
        auto credentials
            = platform::foundation::Dictionary::make({ { "email", email }, { "password", password } });
        auto created = send("POST", "/api/freelancers", credentials);
        EXPECT_EQ(created.status, 200);
        auto loggedIn = send("POST", "/api/freelancers/login", credentials);
        EXPECT_EQ(loggedIn.status, 200);
        return { loggedIn["userId"].integerValue(), loggedIn["id"].stringValue() };
    }

    /// The session the requests go through (for its time-outs).
    platform::http::SessionManager& session() { return *m_session; }

private:
    const Backend& m_backend;
    std::shared_ptr<platform::http::SessionManager> m_session {
        std::make_shared<platform::http::SessionManager>()
    };
};

}
