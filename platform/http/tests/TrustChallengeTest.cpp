#include "platform/http/TrustChallenge.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"
#include "platform/http/SessionManager.h"
#include "testing/TemporaryDirectory.h"
#include "testing/server/LoopbackServer.h"
#include "testing/server/TestCertificateAuthority.h"

#include <gtest/gtest.h>

#include <mutex>

using namespace platform::http;
using platform::foundation::Dictionary;
using platform::foundation::mainQueue;
using platform::foundation::Value;
using testing::LoopbackServer;
using testing::ServerResponse;
using testing::TemporaryDirectory;
using testing::TestCertificateAuthority;

namespace {

// An HTTPS loopback server whose certificate comes from a certificate
// authority made for the test, which no trust store knows.
class TrustChallengeTest : public ::testing::Test {
protected:
    struct Outcome {
        bool done { false };
        bool succeeded { false };
        HttpError error;
    };

    Outcome send(SessionManager& manager)
    {
        Outcome outcome;
        manager.get(
            server.url("/api/config"), {},
            [&](const Task&, const Value&) {
                outcome.done = true;
                outcome.succeeded = true;
            },
            [&](const Task&, const HttpError& error) {
                outcome.done = true;
                outcome.error = error;
            });
        EXPECT_TRUE(mainQueue().runUntil([&] { return outcome.done; }));
        return outcome;
    }

    TemporaryDirectory folder;
    TestCertificateAuthority authority { folder.path() };
    LoopbackServer server { authority.issueServerIdentity("server") };
    std::shared_ptr<SessionManager> manager { std::make_shared<SessionManager>() };
};

TEST_F(TrustChallengeTest, DefaultVerificationRefusesAnUnknownAuthority)
{
    auto outcome = send(*manager);
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.error.code(), HttpError::Code::SecureConnectionFailed);
    EXPECT_EQ(outcome.error.statusCode(), 0);
    EXPECT_EQ(server.requestCount(), 0u);
}

TEST_F(TrustChallengeTest, ACustomCheckSeesThePeersChainAndMayAcceptIt)
{
    std::mutex mutex;
    std::vector<TrustChallenge> challenges;
    auto root = authority.certificateDer();
    manager->setTrustCheck([&](const TrustChallenge& challenge) {
        std::lock_guard lock(mutex);
        challenges.push_back(challenge);
        return !challenge.certificates.empty() && challenge.certificates.back() == root;
    });
    server.scriptNext(ServerResponse::json(200, Dictionary::make({ { "ok", true } })));
    auto outcome = send(*manager);
    EXPECT_TRUE(outcome.succeeded) << outcome.error.message();

    std::lock_guard lock(mutex);
    ASSERT_EQ(challenges.size(), 1u);
    const auto& challenge = challenges.front();
    EXPECT_EQ(challenge.host, "127.0.0.1");
    EXPECT_FALSE(challenge.systemTrusted);
    ASSERT_EQ(challenge.certificates.size(), 2u);
    EXPECT_NE(challenge.certificates[0], root);
    EXPECT_EQ(challenge.pem(1), authority.certificatePem());
    EXPECT_EQ(challenge.pem(2), "");
}

TEST_F(TrustChallengeTest, ACustomCheckMayRefuseAndNoRequestReachesTheServer)
{
    manager->setTrustCheck([](const TrustChallenge&) { return false; });
    auto outcome = send(*manager);
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.error.code(), HttpError::Code::SecureConnectionFailed);
    EXPECT_EQ(server.requestCount(), 0u);
}

TEST_F(TrustChallengeTest, AnAcceptedChainMustStillNameTheHost)
{
    TestCertificateAuthority otherAuthority { folder.path(), "Other CA" };
    LoopbackServer misnamed { otherAuthority.issueServerIdentity(
        "misnamed", "example.org", "DNS:example.org") };
    manager->setTrustCheck([](const TrustChallenge&) { return true; });
    Outcome outcome;
    manager->get(
        misnamed.url("/"), {}, [&](const Task&, const Value&) { outcome.done = outcome.succeeded = true; },
        [&](const Task&, const HttpError& error) {
            outcome.done = true;
            outcome.error = error;
        });
    ASSERT_TRUE(mainQueue().runUntil([&] { return outcome.done; }));
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.error.code(), HttpError::Code::SecureConnectionFailed);
}

}
