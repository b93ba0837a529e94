#pragma once

#include "ZorvikAPI/repositories/RESTRepositories/RESTRepository.h"
#include "platform/http/SessionManager.h"
#include "testing/backend/OutcomeLog.h"
#include "testing/server/LoopbackServer.h"

#include <cstddef>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <string_view>

namespace zorvik::api::test {

/// How many times a scripted answer is given for one request (see the scripting in the tests).
constexpr std::size_t kAttempts = 8;

using ::testing::OutcomeLog;
using ::testing::settle;

/// A loopback server whose answers each test scripts, and the one session manager that the library sends
/// through. (Tests against the real local back-end use ::testing::BackendFixture.)
class BackendTest : public ::testing::Test {
protected:
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
