#include "platform/outside/PhotoUpload.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"
#include "testing/backend/Backend.h"
#include "testing/server/LoopbackServer.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/sha.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform::outside {
namespace {

using foundation::Bytes;
using foundation::mainQueue;
using http::HttpError;

const Bytes kPng { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R', 1, 2, 3 };

std::string hex(const unsigned char* bytes, std::size_t size)
{
    std::string text;
    char digits[3];
    for (std::size_t index = 0; index < size; ++index) {
        std::snprintf(digits, sizeof digits, "%02x", bytes[index]);
        text += digits;
    }
    return text;
}

// A URL on 127.0.0.1 where nothing listens.
std::string closedUrl()
{
    ::testing::LoopbackServer server;
    return server.baseUrl();
}

// What the completions of one upload reported.
struct Outcomes {
    std::vector<std::optional<HttpError>> errors;
    std::vector<std::string> keys;

    PhotoStore::Completion completion()
    {
        return [this](const std::optional<HttpError>& error, const std::string& key) {
            errors.push_back(error);
            keys.push_back(key);
        };
    }

    // Runs the main queue until the first completion, then whatever else is due.
    void settle()
    {
        mainQueue().runUntil([this] { return !errors.empty(); });
        mainQueue().runUntilIdle();
    }
};

class PhotoUploadTest : public ::testing::Test {
protected:
    ::testing::Backend m_backend;
    PhotoUpload m_upload { m_backend.baseUrl(), "test-access", "test-secret" };
};

TEST_F(PhotoUploadTest, TheImageIsStoredUnderTheKeyItReportsWithASignedRequest)
{
    Outcomes outcomes;
    m_upload.uploadImageData(kPng, outcomes.completion());
    EXPECT_TRUE(outcomes.errors.empty()) << "the completion never runs before the call returns";
    outcomes.settle();

    ASSERT_EQ(outcomes.errors.size(), 1u);
    EXPECT_EQ(outcomes.errors[0], std::nullopt);
    const std::string& key = outcomes.keys[0];
    ASSERT_FALSE(key.empty());
    auto stored = m_backend.state().photo(key);
    EXPECT_EQ(stored.status, 200);
    EXPECT_EQ(stored.raw, std::string(kPng.begin(), kPng.end()));
    EXPECT_EQ(stored.contentType, "image/png");

    auto request = m_backend.lastRequest().value();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/qz-image-uploads");
    std::array<unsigned char, SHA256_DIGEST_LENGTH> digest {};
    SHA256(kPng.data(), kPng.size(), digest.data());
    EXPECT_EQ(request.header("X-Content-SHA256"), hex(digest.data(), digest.size()));
    EXPECT_EQ(request.header("X-Upload-Date"), "20150114T120000Z");
    std::string signed_ = "POST\n/qz-image-uploads\n20150114T120000Z\n" + hex(digest.data(), digest.size());
    unsigned char mac[EVP_MAX_MD_SIZE];
    unsigned int macSize = 0;
    HMAC(EVP_sha256(), "test-secret", 11, reinterpret_cast<const unsigned char*>(signed_.data()),
        signed_.size(), mac, &macSize);
    EXPECT_EQ(request.header("Authorization"),
        "ZPU-HMAC-SHA256 Credential=test-access, Signature=" + hex(mac, macSize));
    for (const auto& [name, value] : request.headers)
        EXPECT_EQ(value.find("test-secret"), std::string::npos) << name;
}

TEST_F(PhotoUploadTest, EveryFailureCompletesOnceWithItsError)
{
    ::testing::LoopbackServer keyless;
    keyless.script(
        "POST", "/qz-image-uploads", ::testing::ServerResponse::json(200, foundation::Dictionary::make()));
    struct Case {
        const char* name;
        std::function<std::string()> prepare;
        Bytes data;
        HttpError::Code code;
        int status;
    };
    const std::vector<Case> cases {
        { "server error",
            [&] {
                m_backend.failRoute("POST", "/qz-image-uploads", 500, 1);
                return m_backend.baseUrl();
            },
            kPng, HttpError::Code::BadStatus, 500 },
        { "dropped connection",
            [&] {
                m_backend.dropRoute("POST", "/qz-image-uploads", 2);
                return m_backend.baseUrl();
            },
            kPng, HttpError::Code::CannotConnect, 0 },
        { "server down", [] { return closedUrl(); }, kPng, HttpError::Code::CannotConnect, 0 },
        { "answer without a key", [&] { return keyless.baseUrl(); }, kPng,
            HttpError::Code::CannotParseResponse, 200 },
        { "no image", [&] { return m_backend.baseUrl(); }, {}, HttpError::Code::Other, 0 },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        m_backend.clearRequests();
        PhotoUpload upload(test.prepare(), "test-access", "test-secret");
        Outcomes outcomes;
        upload.uploadImageData(test.data, outcomes.completion());
        outcomes.settle();
        ASSERT_EQ(outcomes.errors.size(), 1u);
        ASSERT_TRUE(outcomes.errors[0].has_value());
        EXPECT_EQ(outcomes.errors[0]->code(), test.code) << outcomes.errors[0]->message();
        EXPECT_EQ(outcomes.errors[0]->statusCode(), test.status);
        EXPECT_TRUE(outcomes.keys[0].empty());
    }
    EXPECT_TRUE(m_backend.requests().empty()) << "an empty image is not sent";
}

TEST_F(PhotoUploadTest, AnUploadCompletesAfterItsClientIsReleased)
{
    Outcomes outcomes;
    {
        PhotoUpload upload(m_backend.baseUrl(), "test-access", "test-secret");
        upload.uploadImageData(kPng, outcomes.completion());
    }
    outcomes.settle();
    ASSERT_EQ(outcomes.errors.size(), 1u);
    EXPECT_EQ(outcomes.errors[0], std::nullopt);
    EXPECT_EQ(m_backend.state().photo(outcomes.keys[0]).status, 200);
}

}
}
