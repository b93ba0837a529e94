#include "kit/core/CRNDownloadAndSaveSettingsOperation.h"

#include "kit/core/CRNHost.h"
#include "kit/core/CRNNetworkClient.h"
#include "kit/core/CRNNetworkResponseHandler.h"
#include "kit/core/Cairn.h"

#include "platform/foundation/Files.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Log.h"

#include <system_error>

namespace kit {

using platform::foundation::Error;
using platform::http::UrlRequest;

namespace {

constexpr std::size_t kRetryLimit { 1 };

}

CRNDownloadAndSaveSettingsOperation::CRNDownloadAndSaveSettingsOperation(std::string APIKey,
    std::weak_ptr<CRNDownloadAndSaveSettingsOperationDelegate> delegate, std::string settingsURL,
    std::filesystem::path settingsDirectoryPath, std::filesystem::path settingsFilePath,
    std::string installIdentifier, std::string advertisingToken,
    std::weak_ptr<CRNNetworkClient> networkClient)
    : CRNNetworkOperation(std::move(APIKey))
    , m_delegate(std::move(delegate))
    , m_settingsURL(std::move(settingsURL))
    , m_settingsDirectoryPath(std::move(settingsDirectoryPath))
    , m_settingsFilePath(std::move(settingsFilePath))
    , m_installIdentifier(std::move(installIdentifier))
    , m_advertisingToken(std::move(advertisingToken))
    , m_networkClient(std::move(networkClient))
{
}

UrlRequest CRNDownloadAndSaveSettingsOperation::settingsRequest() const
{
    auto request = mutableRequestWithDefaultHTTPHeaderFieldsAndTimeoutForURL(m_settingsURL);
    request.method = "GET";
    request.headers.emplace_back("Accept", "application/json");
    request.headers.emplace_back("X-Ember-Installation-ID", m_installIdentifier);
    request.headers.emplace_back("X-Ember-Device-Model", CRNHostModelInfo());
    if (auto build = CRNHostOSBuildVersion())
        request.headers.emplace_back("X-Ember-OS-Build-Version", *build);
    request.headers.emplace_back("X-Ember-OS-Display-Version", CRNHostOSDisplayVersion());
    request.headers.emplace_back("X-Ember-API-Client-Version", Cairn::kVersion);
    if (!m_advertisingToken.empty())
        request.headers.emplace_back("X-Ember-Advertising-Token", m_advertisingToken);
    return request;
}

void CRNDownloadAndSaveSettingsOperation::main()
{
    auto client = m_networkClient.lock();
    if (!client) {
        finish(CRNNetworkResponseHandler::errorForCode(CRNNetworkResponseHandler::kNoTaskCode));
        return;
    }
    auto self = std::static_pointer_cast<CRNDownloadAndSaveSettingsOperation>(shared_from_this());
    client->startDownloadTaskWithRequest(settingsRequest(), kRetryLimit,
        [self](const std::filesystem::path& location, const auto&, const std::optional<Error>& error) {
            self->finish(self->save(location, error));
        });
}

std::optional<Error> CRNDownloadAndSaveSettingsOperation::save(
    const std::filesystem::path& location, const std::optional<Error>& error) const
{
    if (error)
        return error;
    using platform::foundation::Files;
    auto failure = [&](std::int64_t code, const std::string& description) {
        platform::foundation::Log(Cairn::kLogPrefix)
            .write("Unable to complete settings download " + description);
        return Error::withDescription(kErrorDomain, code, description);
    };
    auto body = Files::readText(location);
    if (!body || !platform::foundation::parseJson(*body).value.dictionary())
        return failure(kInvalidSettingsCode, "The settings are not a JSON object.");
    std::error_code ignored;
    std::filesystem::create_directories(m_settingsDirectoryPath, ignored);
    if (!Files::writeText(m_settingsFilePath, *body))
        return failure(
            kSaveFailedCode, "The settings could not be saved to " + m_settingsFilePath.string() + ".");
    return std::nullopt;
}

std::optional<Error> CRNDownloadAndSaveSettingsOperation::error() const
{
    std::lock_guard lock(m_lock);
    return m_error;
}

void CRNDownloadAndSaveSettingsOperation::finish(const std::optional<Error>& error)
{
    {
        std::lock_guard lock(m_lock);
        m_error = error;
    }
    if (auto delegate = m_delegate.lock())
        delegate->operationDidDownloadAndSaveSettingsWithError(*this, error);
    markDone();
}

}
