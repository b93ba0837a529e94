#pragma once

#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/Freelancer.h"
#include "testing/backend/Backend.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform::http {
class SessionManager;
}

namespace testing {

/// A test that runs the API library against a fresh local back-end, wired as the app wires it at launch:
/// one HTTP session shared by the log-in at "/api/freelancers/login", the freelancers repository at
/// "/api/freelancers" and the company search at "/companies", all on the back-end's root and held by the
/// process's Repositories. The back-end writes its dates ("sent", folder dates, token dates) on the main
/// queue's virtual clock, so advancing the clock moves them too. Tear-down signs out and empties
/// Repositories, so nothing reaches the next test.
///
/// Waiting: hand an OutcomeLog's blocks to a call and settle() the log.
class BackendFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// The back-end the repositories talk to.
    Backend& backend() { return m_backend; }
    /// The one HTTP session of the wired repositories.
    const std::shared_ptr<platform::http::SessionManager>& manager() const { return m_manager; }

    /// Fills Repositories with the back-end's entries on manager() (SetUp does it; a test that replaced
    /// them may call it again).
    void wireRepositories();

    /// The access token that the session sends (its "Authorization" header), or "" when none.
    std::string token() const;

    /// A new freelancer record for `email` carrying the wired freelancers repository and log-in mechanism.
    zorvik::api::Freelancer freelancer(std::string_view email) const;
    /// Opens an account through the freelancers repository: the one outcome, "ok", "exists" or "error".
    std::string createAccount(std::string_view email, std::string_view pin);
    /// Logs `freelancer` in with `pin`: the one outcome, "ok", "failed" or "error".
    std::string logIn(const zorvik::api::Freelancer& freelancer, std::string_view pin);
    /// A new account for `email`, logged in (the signed-in freelancer); a step that fails fails the test.
    zorvik::api::Freelancer signUp(std::string_view email, std::string_view pin = "1234");
    /// Creates `business` as the business of the logged-in `freelancer` and returns the created record, or
    /// fails the test and returns nullopt.
    std::optional<zorvik::api::Business> createBusiness(
        const zorvik::api::Freelancer& freelancer, const zorvik::api::Business& business);

private:
    Backend m_backend;
    std::shared_ptr<platform::http::SessionManager> m_manager;
};

}
