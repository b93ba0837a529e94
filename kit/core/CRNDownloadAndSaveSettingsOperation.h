#pragma once

#include "kit/core/CRNNetworkOperation.h"

#include "platform/foundation/Error.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace kit {

class CRNDownloadAndSaveSettingsOperation;
class CRNNetworkClient;

/// Told how a settings download ended; called on a thread of the session layer.
class CRNDownloadAndSaveSettingsOperationDelegate {
public:
    virtual ~CRNDownloadAndSaveSettingsOperationDelegate() = default;
    virtual void operationDidDownloadAndSaveSettingsWithError(CRNDownloadAndSaveSettingsOperation& operation,
        const std::optional<platform::foundation::Error>& error)
        = 0;
};

/// Downloads this app's kit settings (a GET tried at most twice) and saves them as the settings file.
///
/// Only a JSON object is saved, and it replaces the file whole (written beside it, then renamed over it):
/// a failed download, an answer that is no JSON object or a failed write leaves the previous file as it
/// was, and the operation's error says why. The delegate hears the outcome, then the operation is done.
class CRNDownloadAndSaveSettingsOperation : public CRNNetworkOperation {
public:
    /// The error domain of settings that could not be saved.
    static constexpr const char* kErrorDomain { "CRNDownloadAndSaveSettingsOperation" };
    /// The answer is no JSON object.
    static constexpr std::int64_t kInvalidSettingsCode { 1 };
    /// The settings file could not be written.
    static constexpr std::int64_t kSaveFailedCode { 2 };

    /// An operation for `settingsURL`, saving into `settingsFilePath` in `settingsDirectoryPath` (made
    /// when missing). `advertisingToken` is sent only when not empty; the client is held weakly.
    CRNDownloadAndSaveSettingsOperation(std::string APIKey,
        std::weak_ptr<CRNDownloadAndSaveSettingsOperationDelegate> delegate, std::string settingsURL,
        std::filesystem::path settingsDirectoryPath, std::filesystem::path settingsFilePath,
        std::string installIdentifier, std::string advertisingToken,
        std::weak_ptr<CRNNetworkClient> networkClient);

    /// Starts the download; a client that has gone ends the operation with error -3.
    void main() override;

    /// The settings request: the default request with these headers after the platform's, in this order:
    /// "Accept", "X-Ember-Installation-ID", "X-Ember-Device-Model", "X-Ember-OS-Build-Version" (when the
    /// build can be read), "X-Ember-OS-Display-Version", "X-Ember-API-Client-Version" and
    /// "X-Ember-Advertising-Token" (when there is one).
    platform::http::UrlRequest settingsRequest() const;

    std::optional<platform::foundation::Error> error() const;
    const std::string& settingsURL() const { return m_settingsURL; }
    const std::filesystem::path& settingsDirectoryPath() const { return m_settingsDirectoryPath; }
    const std::filesystem::path& settingsFilePath() const { return m_settingsFilePath; }
    const std::string& installIdentifier() const { return m_installIdentifier; }
    const std::string& advertisingToken() const { return m_advertisingToken; }

private:
    /// Saves the downloaded file unless the download failed; the error of either step, or none.
    std::optional<platform::foundation::Error> save(
        const std::filesystem::path& location, const std::optional<platform::foundation::Error>& error) const;
    void finish(const std::optional<platform::foundation::Error>& error);

    std::weak_ptr<CRNDownloadAndSaveSettingsOperationDelegate> m_delegate;
    std::string m_settingsURL;
    std::filesystem::path m_settingsDirectoryPath;
    std::filesystem::path m_settingsFilePath;
    std::string m_installIdentifier;
    std::string m_advertisingToken;
    std::weak_ptr<CRNNetworkClient> m_networkClient;
    std::optional<platform::foundation::Error> m_error;
};

}
