#include "platform/outside/PhotoUpload.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/MainQueue.h"
#include "platform/http/SessionEngine.h"
#include "platform/http/Task.h"
#include "platform/http/Url.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/sha.h>

#include <array>

namespace platform::outside {

using foundation::Bytes;
using http::HttpError;

namespace {

std::string hex(const unsigned char* bytes, std::size_t size)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t index = 0; index < size; ++index) {
        text += kDigits[bytes[index] >> 4];
        text += kDigits[bytes[index] & 0x0F];
    }
    return text;
}

std::string sha256(std::string_view data)
{
    std::array<unsigned char, SHA256_DIGEST_LENGTH> digest {};
    SHA256(reinterpret_cast<const unsigned char*>(data.data()), data.size(), digest.data());
    return hex(digest.data(), digest.size());
}

std::string hmacSha256(std::string_view key, std::string_view message)
{
    std::array<unsigned char, EVP_MAX_MD_SIZE> mac {};
    unsigned int size = 0;
    HMAC(EVP_sha256(), key.data(), int(key.size()), reinterpret_cast<const unsigned char*>(message.data()),
        message.size(), mac.data(), &size);
    return hex(mac.data(), size);
}

std::string contentType(const Bytes& data)
{
    static constexpr std::uint8_t kPng[] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    static constexpr std::uint8_t kJpeg[] = { 0xFF, 0xD8, 0xFF };
    auto startsWith = [&](const auto& signature) {
        return data.size() >= std::size(signature)
            && std::equal(std::begin(signature), std::end(signature), data.begin());
    };
    if (startsWith(kPng))
        return "image/png";
    if (startsWith(kJpeg))
        return "image/jpeg";
    return "application/octet-stream";
}

// The stored key from what the service answered, or the error to report.
std::pair<std::optional<HttpError>, std::string> conclude(
    const http::Task& task, const http::SessionEngine::Outcome& outcome)
{
    if (outcome.transportFailed)
        return { HttpError(outcome.transportCode, outcome.transportMessage), {} };
    int status = task.statusCode();
    auto parsed = foundation::parseJson(outcome.body);
    if (status < 200 || status > 299) {
        std::string reason = outcome.reason.empty() ? "unexpected status" : outcome.reason;
        return { HttpError(HttpError::Code::BadStatus,
                     "The photo upload failed: " + reason + " (" + std::to_string(status) + ")", status,
                     outcome.body, parsed.ok() ? parsed.value : foundation::Value()),
            {} };
    }
    auto answer = parsed.ok() ? parsed.value.dictionary() : nullptr;
    foundation::Value keyValue = answer ? answer->get("key") : foundation::Value();
    const std::string* key = keyValue.string();
    if (!key || key->empty()) {
        return { HttpError(HttpError::Code::CannotParseResponse,
                     "The photo storage's answer names no stored key", status, outcome.body),
            {} };
    }
    return { std::nullopt, *key };
}

}

PhotoUpload::PhotoUpload(std::string serviceUrl, std::string accessKey, std::string secretKey)
    : m_serviceUrl(std::move(serviceUrl))
    , m_accessKey(std::move(accessKey))
    , m_secretKey(std::move(secretKey))
    , m_engine(std::make_shared<http::SessionEngine>())
{
}

PhotoUpload::~PhotoUpload() = default;

void PhotoUpload::uploadImageData(const Bytes& data, Completion completion)
{
    if (data.empty()) {
        foundation::mainQueue().async([completion = std::move(completion)] {
            completion(HttpError(HttpError::Code::Other, "There is no image to upload"), {});
        });
        return;
    }

    std::string body(data.begin(), data.end());
    std::string date
        = foundation::DateFormatter("yyyyMMdd'T'HHmmss'Z'", "en_US_POSIX", "UTC").format(foundation::now());
    std::string digest = sha256(body);
    std::string signature
        = hmacSha256(m_secretKey, std::string("POST\n") + kUploadPath + "\n" + date + "\n" + digest);
    http::Task::Headers headers {
        { "Content-Type", contentType(data) },
        { "Accept", "application/json" },
        { "X-Upload-Date", date },
        { "X-Content-SHA256", digest },
        { "Authorization", "ZPU-HMAC-SHA256 Credential=" + m_accessKey + ", Signature=" + signature },
    };
    auto task = std::make_shared<http::Task>(
        "POST", http::resolve(kUploadPath, m_serviceUrl), std::move(headers), std::move(body));
    http::SessionEngine::Options options;
    options.sendsBody = true;
    // The completion holds the engine, so that the upload finishes even if this client goes away first.
    m_engine->start(task, options,
        [engine = m_engine, completion = std::move(completion)](
            const http::Task& finished, const http::SessionEngine::Outcome& outcome) {
            auto [error, key] = conclude(finished, outcome);
            completion(error, key);
        });
}

}
