#include "kit/core/CRNOnboardingOperation.h"

#include "kit/core/CRNApplicationIdentiferModel.h"
#include "kit/core/CRNMultipartMimeStreamEncoder.h"
#include "kit/core/CRNNetworkClient.h"
#include "kit/core/CRNNetworkResponseHandler.h"
#include "kit/core/CRNURLBuilder.h"
#include "kit/core/Cairn.h"

#include "platform/foundation/Log.h"

namespace kit {

using platform::foundation::Error;
using platform::foundation::Value;
using platform::http::UrlRequest;

namespace {

constexpr std::size_t kCreateRetryLimit { 10 };
constexpr std::size_t kUpdateRetryLimit { 1 };

Value orNull(const std::optional<std::string>& text)
{
    return text ? Value(*text) : Value();
}

}

CRNOnboardingOperation::CRNOnboardingOperation(std::weak_ptr<CRNOnboardingOperationDelegate> delegate,
    bool shouldCreate, std::string APIKey, CRNKitVersions kitVersionsByKitBundleIdentifier,
    std::shared_ptr<const CRNApplicationIdentiferModel> appIdentifierModel, std::string endpointString,
    std::weak_ptr<CRNNetworkClient> networkClient)
    : CRNNetworkOperation(std::move(APIKey))
    , m_delegate(std::move(delegate))
    , m_shouldCreate(shouldCreate)
    , m_kitVersions(std::move(kitVersionsByKitBundleIdentifier))
    , m_appIdentifierModel(std::move(appIdentifierModel))
    , m_appEndpoint(std::move(endpointString))
    , m_networkClient(std::move(networkClient))
{
}

void CRNOnboardingOperation::main()
{
    beginAppConfigure();
}

std::optional<std::string> CRNOnboardingOperation::appBundleIdentifier() const
{
    return CRNApplicationGetBundleIdentifier();
}

std::optional<std::string> CRNOnboardingOperation::appName() const
{
    return CRNApplicationGetName();
}

std::optional<std::string> CRNOnboardingOperation::appBuildVersion() const
{
    return CRNApplicationGetBundleVersion();
}

std::optional<std::string> CRNOnboardingOperation::appDisplayVersion() const
{
    return CRNApplicationGetShortBundleVersion();
}

CRNInstallSource CRNOnboardingOperation::appInstallSource() const
{
    return CRNApplicationInstallationSource();
}

std::optional<UrlRequest> CRNOnboardingOperation::appConfigureRequest() const
{
    auto builder = CRNURLBuilder::URLWithBase(m_appEndpoint);
    builder.appendComponent("/spi/v1/platforms/");
    builder.escapeAndAppendComponent(appPlatform());
    builder.appendComponent("/apps");
    if (!m_shouldCreate) {
        builder.appendComponent("/");
        builder.escapeAndAppendComponent(appBundleIdentifier().value_or(""));
    }
    auto request = mutableRequestWithDefaultHTTPHeaderFieldsAndTimeoutForURL(builder.URLString());
    request.method = m_shouldCreate ? "POST" : "PUT";

    const auto* model = m_appIdentifierModel.get();
    bool encoded = CRNMultipartMimeStreamEncoder::populateRequest(request, [&](auto& encoder) {
        encoder.addValue(orNull(appBundleIdentifier()), "app[identifier]");
        encoder.addValue(model ? Value(model->instanceIdentifier()) : Value(), "app[instance_identifier]");
        encoder.addValue(orNull(appName()), "app[name]");
        encoder.addValue(orNull(appBuildVersion()), "app[build_version]");
        encoder.addValue(orNull(appDisplayVersion()), "app[display_version]");
        encoder.addValue(static_cast<int>(appInstallSource()), "app[source]");
        encoder.addValue(model ? Value(model->minimumSDKString()) : Value(), "app[minimum_sdk_version]");
        encoder.addValue(model ? Value(model->builtSDKString()) : Value(), "app[built_sdk_version]");
        for (const auto& [identifier, version] : m_kitVersions)
            encoder.addValue(version, "app[build][libraries][" + identifier + "]");
        if (!model)
            return;
        for (const auto& [architecture, uuid] : model->architectureUUIDMap()) {
            encoder.addValue(architecture, "app[slices][][arch]");
            encoder.addValue(uuid, "app[slices][][uuid]");
        }
        const auto& icon = model->icon();
        if (!icon || icon->data().empty() || icon->dataHash().empty())
            return;
        encoder.addValue(icon->dataHash(), "app[icon][hash]");
        encoder.addValue(icon->prerendered() ? "true" : "false", "app[icon][prerendered]");
        encoder.addValue(static_cast<std::int64_t>(icon->size().width), "app[icon][width]");
        encoder.addValue(static_cast<std::int64_t>(icon->size().height), "app[icon][height]");
        encoder.addFileData(icon->data(), "icon.png", "image/png", "app[icon][data]");
    });
    if (!encoded)
        return std::nullopt;
    return request;
}

void CRNOnboardingOperation::beginAppConfigure()
{
    auto request = appConfigureRequest();
    if (!request) {
        platform::foundation::Log(Cairn::kLogPrefix).write("configure failed during onboarding");
        finish(CRNNetworkResponseHandler::errorForCode(CRNNetworkResponseHandler::kNoTaskCode));
        return;
    }
    auto client = m_networkClient.lock();
    if (!client) {
        finish(CRNNetworkResponseHandler::errorForCode(CRNNetworkResponseHandler::kNoTaskCode));
        return;
    }
    auto self = std::static_pointer_cast<CRNOnboardingOperation>(shared_from_this());
    client->startDataTaskWithRequest(*request, m_shouldCreate ? kCreateRetryLimit : kUpdateRetryLimit,
        [self](const auto&, const auto&, const std::optional<Error>& error) { self->finish(error); });
}

std::optional<Error> CRNOnboardingOperation::error() const
{
    std::lock_guard lock(m_lock);
    return m_error;
}

void CRNOnboardingOperation::finish(const std::optional<Error>& error)
{
    {
        std::lock_guard lock(m_lock);
        m_error = error;
    }
    auto delegate = m_delegate.lock();
    if (delegate && !isCancelled()) {
        if (m_shouldCreate)
            delegate->onboardingOperationDidCompleteAppCreation(*this, error);
        else
            delegate->onboardingOperationDidCompleteAppUpdate(*this, error);
    }
    markDone();
}

}
