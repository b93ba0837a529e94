#pragma once

#include "kit/core/CRNApplication.h"
#include "kit/core/CRNNetworkOperation.h"

#include "platform/foundation/Error.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kit {

class CRNApplicationIdentiferModel;
class CRNNetworkClient;
class CRNOnboardingOperation;

/// Kit bundle identifier to kit version, in the order the kits started (the platform's own last).
using CRNKitVersions = std::vector<std::pair<std::string, std::string>>;

/// Told how an onboarding upload ended; called on a thread of the session layer.
class CRNOnboardingOperationDelegate {
public:
    virtual ~CRNOnboardingOperationDelegate() = default;
    virtual void onboardingOperationDidCompleteAppCreation(
        CRNOnboardingOperation& operation, const std::optional<platform::foundation::Error>& error)
        = 0;
    virtual void onboardingOperationDidCompleteAppUpdate(
        CRNOnboardingOperation& operation, const std::optional<platform::foundation::Error>& error)
        = 0;
};

/// Registers the app with the kit service: a multipart form of the app's identity, its kits, its slices
/// and its icon, POSTed to "<endpoint>/spi/v1/platforms/ios/apps" to create the app's record (retried up
/// to 10 times) or PUT to "<endpoint>/spi/v1/platforms/ios/apps/<bundle identifier>" to update it
/// (retried once). The delegate hears the outcome, then the operation is done. An operation cancelled
/// before its answer ends without telling the delegate.
class CRNOnboardingOperation : public CRNNetworkOperation {
public:
    /// The platform name in the service's paths.
    static constexpr const char* kPlatformName { "ios" };

    CRNOnboardingOperation(std::weak_ptr<CRNOnboardingOperationDelegate> delegate, bool shouldCreate,
        std::string APIKey, CRNKitVersions kitVersionsByKitBundleIdentifier,
        std::shared_ptr<const CRNApplicationIdentiferModel> appIdentifierModel, std::string endpointString,
        std::weak_ptr<CRNNetworkClient> networkClient);

    /// Runs beginAppConfigure().
    void main() override;
    /// Sends the form; a form that cannot be made, or a client that has gone, ends the operation with an
    /// error for the delegate.
    void beginAppConfigure();

    /// The upload: the default request with a 10-second time-out, the form's "Content-Type" and
    /// "Content-Length", and the form as body; nullopt when the form cannot be encoded.
    std::optional<platform::http::UrlRequest> appConfigureRequest() const;

    bool shouldCreate() const { return m_shouldCreate; }
    std::optional<platform::foundation::Error> error() const;
    const std::string& appEndpoint() const { return m_appEndpoint; }
    const CRNKitVersions& kitVersionsByKitBundleIdentifier() const { return m_kitVersions; }
    const std::shared_ptr<const CRNApplicationIdentiferModel>& appIdentifierModel() const
    {
        return m_appIdentifierModel;
    }

    /// What the form says of the app (see CRNApplication.h); a field the bundle has no value for is left
    /// out.
    std::optional<std::string> appBundleIdentifier() const;
    std::string appPlatform() const { return kPlatformName; }
    std::optional<std::string> appName() const;
    std::optional<std::string> appBuildVersion() const;
    std::optional<std::string> appDisplayVersion() const;
    CRNInstallSource appInstallSource() const;

private:
    void finish(const std::optional<platform::foundation::Error>& error);

    std::weak_ptr<CRNOnboardingOperationDelegate> m_delegate;
    bool m_shouldCreate { false };
    CRNKitVersions m_kitVersions;
    std::shared_ptr<const CRNApplicationIdentiferModel> m_appIdentifierModel;
    std::string m_appEndpoint;
    std::weak_ptr<CRNNetworkClient> m_networkClient;
    std::optional<platform::foundation::Error> m_error;
};

}
