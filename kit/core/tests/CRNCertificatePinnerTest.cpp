#include "kit/core/CRNCertificatePinner.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"
#include "platform/http/SessionManager.h"

#include "testing/TemporaryDirectory.h"
#include "testing/server/LoopbackServer.h"
#include "testing/server/TestCertificateAuthority.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

using namespace kit;
using platform::foundation::mainQueue;
using platform::foundation::Value;
using platform::http::HttpError;
using platform::http::SessionManager;
using platform::http::Task;
using platform::http::TrustChallenge;
using testing::LoopbackServer;
using testing::ServerResponse;
using testing::TestCertificateAuthority;
using Validity = TestCertificateAuthority::Validity;

namespace {

CRNCertificate certificateOf(const TestCertificateAuthority& authority)
{
    auto der = authority.certificateDer();
    return *CRNCertificate::withData(der.data(), der.size());
}

// Test authorities (a root, an intermediate under it, an unrelated root) and chains they issue.
class CRNCertificatePinnerTest : public ::testing::Test {
protected:
    TrustChallenge challenge(const LoopbackServer::TlsIdentity& identity, std::string host = "127.0.0.1")
    {
        return { std::move(host), TestCertificateAuthority::readChain(identity.certificateFile), false };
    }

    testing::TemporaryDirectory m_folder;
    TestCertificateAuthority m_root { m_folder.path(), "Pinned Root" };
    TestCertificateAuthority m_intermediate { m_folder.path(), "Pinned Intermediate", m_root };
    TestCertificateAuthority m_stranger { m_folder.path(), "Unpinned Root" };
};

}

TEST(CRNBuiltinCertificatesTest, TheEightRootsInOrderByteForByte)
{
    const std::pair<const char*, const char*> expected[] = {
        { "AddTrust External CA Root",
            "68:7F:A4:51:38:22:78:FF:F0:C8:B1:1F:8D:43:D5:76:67:1C:6E:B2:BC:EA:B4:13:FB:83:D9:65:D0:6D:2F:"
            "F2" },
        { "Entrust Root Certification Authority",
            "73:C1:76:43:4F:1B:C6:D5:AD:F4:5B:0E:76:E7:27:28:7C:8D:E5:76:16:C1:E6:E6:14:1A:2B:2C:BC:7D:8E:"
            "4C" },
        { "DigiCert High Assurance EV Root CA",
            "74:31:E5:F4:C3:C1:CE:46:90:77:4F:0B:61:E0:54:40:88:3B:A9:A0:1E:D0:0B:A6:AB:D7:80:6E:D3:B1:18:"
            "CF" },
        { "VeriSign Class 3 Public Primary Certification Authority - G5",
            "9A:CF:AB:7E:43:C8:D8:80:D0:6B:26:2A:94:DE:EE:E4:B4:65:99:89:C3:D0:CA:F1:9B:AF:64:05:E4:1A:B7:"
            "DF" },
        { "VeriSign Class 1 Public Primary Certification Authority - G3",
            "CB:B5:AF:18:5E:94:2A:24:02:F9:EA:CB:C0:ED:5B:B8:76:EE:A3:C1:22:36:23:D0:04:47:E4:F3:BA:55:4B:"
            "65" },
        { "VeriSign Class 2 Public Primary Certification Authority - G3",
            "92:A9:D9:83:3F:E1:94:4D:B3:66:E8:BF:AE:7A:95:B6:48:0C:2D:6C:6C:2A:1B:E6:5D:42:36:B6:08:FC:A1:"
            "BB" },
        { "VeriSign Class 3 Public Primary Certification Authority - G3",
            "EB:04:CF:5E:B1:F3:9A:FA:76:2F:2B:B1:20:F2:96:CB:A5:20:C1:B9:7D:B1:58:95:65:B8:1C:B9:A1:7B:72:"
            "44" },
        { "VeriSign Class 4 Public Primary Certification Authority - G3",
            "E3:89:36:0D:0F:DB:AE:B3:D2:50:58:4B:47:30:31:4E:22:2F:39:C1:56:A0:20:14:4E:8D:96:05:61:79:15:"
            "06" },
    };
    // Eight threads ask at once: every one gets the one vector, parsed once.
    std::vector<const std::vector<CRNCertificate>*> seen(8);
    std::vector<std::thread> threads;
    for (std::size_t index = 0; index < seen.size(); ++index)
        threads.emplace_back([&seen, index] { seen[index] = &CRNBuiltinCertificates(); });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(std::set(seen.begin(), seen.end()).size(), 1u);

    const auto& roots = CRNBuiltinCertificates();
    ASSERT_EQ(roots.size(), std::size(expected));
    for (std::size_t index = 0; index < roots.size(); ++index) {
        EXPECT_EQ(roots[index].subjectCommonName(), expected[index].first);
        EXPECT_EQ(roots[index].sha256Fingerprint(), expected[index].second) << expected[index].first;
    }
    EXPECT_EQ(roots[1].subjectOrganization(), "Entrust, Inc.");
    EXPECT_EQ(CRNCertificatePinner::builtin().certificates().size(), 8u);
}

TEST(CRNBuiltinCertificatesTest, CertificatesFromBytes)
{
    const auto& der = CRNBuiltinCertificates()[2].data();
    auto certificate = CRNCertificateWithData(der.data(), der.size());
    ASSERT_TRUE(certificate);
    EXPECT_EQ(certificate->data(), der);
    EXPECT_FALSE(CRNCertificateWithData(der.data(), der.size() - 1));
    EXPECT_FALSE(CRNCertificatePinner::createCertificationWithData("not a certificate", 17));
    EXPECT_FALSE(CRNCertificateWithData(nullptr, 0));
}

TEST_F(CRNCertificatePinnerTest, ChainsAreJudgedByThePinnedSetOnly)
{
    auto underRoot = m_root.issueServerIdentity("under-root");
    auto underIntermediate = m_intermediate.issueServerIdentity("under-intermediate");
    auto underStranger = m_stranger.issueServerIdentity("under-stranger");
    auto expiredLeaf = m_root.issueServerIdentity("expired", "127.0.0.1", "IP:127.0.0.1", Validity::Expired);
    auto otherHost = m_root.issueServerIdentity("other-host", "example.org", "DNS:example.org");
    auto named = m_root.issueServerIdentity("named", "api.zorvik.test", "DNS:api.zorvik.test");
    TestCertificateAuthority expiredRoot(m_folder.path(), "Expired Root", Validity::Expired);
    auto underExpiredRoot = expiredRoot.issueServerIdentity("under-expired-root");

    CRNCertificatePinner root({ certificateOf(m_root) });
    CRNCertificatePinner intermediate({ certificateOf(m_intermediate) });
    CRNCertificatePinner stranger({ certificateOf(m_stranger) });
    CRNCertificatePinner expired({ certificateOf(expiredRoot) });
    CRNCertificatePinner none({});
    struct Case {
        const char* name;
        const CRNCertificatePinner& pinner;
        TrustChallenge challenge;
        bool accepted;
    };
    const Case cases[] = {
        { "pinned root", root, challenge(underRoot), true },
        { "pinned root, chain through an intermediate", root, challenge(underIntermediate), true },
        { "pinned intermediate", intermediate, challenge(underIntermediate), true },
        { "pinned intermediate, chain from its root only", intermediate, challenge(underRoot), false },
        { "unpinned root", stranger, challenge(underRoot), false },
        { "pinned root among others",
            CRNCertificatePinner({ certificateOf(m_stranger), certificateOf(m_root) }), challenge(underRoot),
            true },
        { "built-in roots only", CRNCertificatePinner::builtin(), challenge(underRoot), false },
        { "expired leaf", root, challenge(expiredLeaf), false },
        { "expired pinned root", expired, challenge(underExpiredRoot), false },
        { "leaf for another host", root, challenge(otherHost), false },
        { "host name matches", root, challenge(named, "api.zorvik.test"), true },
        { "host name differs", root, challenge(named, "evil.zorvik.test"), false },
        { "no host", root, challenge(underRoot, ""), false },
        { "empty pin set", none, challenge(underRoot), false },
        { "no chain", root, TrustChallenge { "127.0.0.1", {}, false }, false },
        { "garbage chain", root, TrustChallenge { "127.0.0.1", { { 1, 2, 3 } }, false }, false },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        std::optional<CRNCertificatePinner::ChallengeDisposition> disposition;
        bool accepted = test.pinner.handleChallenge(test.challenge, [&](auto given) { disposition = given; });
        EXPECT_EQ(accepted, test.accepted);
        EXPECT_EQ(disposition,
            test.accepted ? CRNCertificatePinner::ChallengeDisposition::UseCredential
                          : CRNCertificatePinner::ChallengeDisposition::CancelAuthenticationChallenge);
    }
}

TEST_F(CRNCertificatePinnerTest, EvaluationResults)
{
    CRNCertificatePinner::TrustResult result {};
    EXPECT_EQ(CRNCertificatePinner({}).evaluateTrust(challenge(m_root.issueServerIdentity("a")), result), 0);
    EXPECT_EQ(result, CRNCertificatePinner::TrustResult::Invalid);
    CRNCertificatePinner root({ certificateOf(m_root) });
    EXPECT_EQ(root.evaluateTrust(challenge(m_root.issueServerIdentity("b")), result), 0);
    EXPECT_EQ(result, CRNCertificatePinner::TrustResult::Proceed);
    EXPECT_EQ(root.evaluateTrust(challenge(m_stranger.issueServerIdentity("c")), result), 0);
    EXPECT_EQ(result, CRNCertificatePinner::TrustResult::RecoverableTrustFailure);
}

TEST_F(CRNCertificatePinnerTest, AChallengeWithoutTrustIsCancelled)
{
    std::optional<CRNCertificatePinner::ChallengeDisposition> disposition;
    EXPECT_FALSE(
        CRNCertificatePinner({ certificateOf(m_root) }).handleChallenge(std::nullopt, [&](auto given) {
            disposition = given;
        }));
    EXPECT_EQ(disposition, CRNCertificatePinner::ChallengeDisposition::CancelAuthenticationChallenge);
}

TEST_F(CRNCertificatePinnerTest, RealTlsToALoopbackServer)
{
    LoopbackServer server { m_root.issueServerIdentity("server") };
    // The man in the middle answers on the same address with a chain of an authority nobody pinned.
    LoopbackServer middle { m_stranger.issueServerIdentity("middle") };
    std::atomic<int> middleSaw { 0 };
    server.route("GET", "/spi/v2/settings", [](const auto&) {
        return ServerResponse::json(200, platform::foundation::Dictionary::make({ { "ok", true } }));
    });
    middle.route("GET", "/*", [&](const auto&) {
        ++middleSaw;
        return ServerResponse::json(200, platform::foundation::Dictionary::make({ { "ok", true } }));
    });
    auto manager = std::make_shared<SessionManager>();
    manager->setTrustCheck(CRNCertificatePinner({ certificateOf(m_root) }).trustCheck());

    auto send = [&](const LoopbackServer& target) {
        std::optional<bool> succeeded;
        HttpError failure;
        manager->get(
            target.url("/spi/v2/settings"), {}, [&](const Task&, const Value&) { succeeded = true; },
            [&](const Task&, const HttpError& error) {
                succeeded = false;
                failure = error;
            });
        EXPECT_TRUE(mainQueue().runUntil([&] { return succeeded.has_value(); }));
        return std::make_pair(succeeded.value_or(false), failure);
    };
    auto [passed, passError] = send(server);
    EXPECT_TRUE(passed) << passError.message();
    EXPECT_EQ(server.requestCount(), 1u);

    auto [refused, refusal] = send(middle);
    EXPECT_FALSE(refused);
    EXPECT_EQ(refusal.code(), HttpError::Code::SecureConnectionFailed);
    EXPECT_EQ(middle.requestCount(), 0u);
    EXPECT_EQ(middleSaw, 0);
}
