#include "kit/crash/EMBBetaController.h"

#include "kit/core/CRNApplication.h"
#include "kit/core/CRNApplicationIdentiferModel.h"
#include "kit/core/CRNCertificate.h"
#include "kit/core/CRNNetworkClient.h"
#include "kit/core/CRNURLBuilder.h"
#include "kit/core/Cairn.h"
#include "kit/crash/EMBApplication.h"
#include "kit/crash/EMBKitRequest.h"

#include "platform/foundation/Json.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Application.h"

namespace kit {

using platform::foundation::Error;
using platform::foundation::mainQueue;
using platform::foundation::NotificationCenter;

namespace {

void debugLog(const std::string& message)
{
    if (Cairn::sharedSDK().debug())
        platform::foundation::Log("[Ember:Beta]").write(message);
}

// The running program's instance identifier, worked out once.
const std::string& instanceIdentifier()
{
    static const std::string identifier = [] {
        auto model = CRNApplicationIdentiferModel::initWithInstallID({});
        return model ? model->instanceIdentifier() : std::string();
    }();
    return identifier;
}

platform::foundation::Value nonEmpty(const std::optional<std::string>& text)
{
    return text && !text->empty() ? platform::foundation::Value(*text) : platform::foundation::Value();
}

}

std::optional<std::string> EMBBetaToken()
{
    return std::nullopt;
}

bool EMBBetaController::isBetaSupported()
{
    return !EMBApplicationIsExtension()
        && CRNApplicationInstallationSource() == CRNInstallSource::SignedForDistribution;
}

std::shared_ptr<EMBBetaController> EMBBetaController::initWithDelegate(
    std::weak_ptr<EMBBetaControllerDelegate> delegate, TokenSource tokenSource)
{
    return std::make_shared<EMBBetaController>(std::move(delegate), std::move(tokenSource));
}

EMBBetaController::EMBBetaController(
    std::weak_ptr<EMBBetaControllerDelegate> delegate, TokenSource tokenSource)
    : m_delegate(std::move(delegate))
    , m_tokenSource(std::move(tokenSource))
    , m_networkClient(CRNNetworkClient::create(nullptr, CRNBuiltinCertificates()))
{
    if (!m_networkClient && Cairn::sharedSDK().debug())
        platform::foundation::Log("[Crahlytics:Beta]").write("Failed to configure networking");
}

EMBBetaController::~EMBBetaController()
{
    std::lock_guard lock(m_suspensionMutex);
    if (m_suspensionTimer)
        mainQueue().cancel(*m_suspensionTimer);
}

std::optional<std::string> EMBBetaController::betaToken()
{
    std::lock_guard lock(m_tokenMutex);
    if (!m_betaToken && m_tokenSource)
        m_betaToken = m_tokenSource();
    return m_betaToken;
}

bool EMBBetaController::start()
{
    if (!betaToken())
        return false;
    std::weak_ptr<EMBBetaController> weakSelf = weak_from_this();
    auto check = [weakSelf](const platform::foundation::Notification&) {
        if (auto self = weakSelf.lock())
            self->checkForUpdate();
    };
    auto& center = NotificationCenter::defaultCenter();
    m_settingsObserver = center.addObserver(kSettingsAvailableNotification, nullptr, check);
    m_foregroundObserver
        = center.addObserver(platform::ui::Application::willEnterForegroundNotification, nullptr, check);
    return true;
}

void EMBBetaController::checkForUpdate()
{
    m_queue.async([self = shared_from_this()] {
        if (!isBetaSupported() || self->m_checksSuspended || self->m_retrying)
            return;
        debugLog("Loading beta update");
        auto request = self->updateRequest();
        if (!request || !self->m_networkClient)
            return;
        debugLog("Beta Update-Check url string: '" + request->url + "'");
        self->m_retrying = true;
        std::weak_ptr<EMBBetaController> weakSelf = self;
        self->m_networkClient->startDataTaskWithRequest(*request, kRetryLimit,
            [weakSelf](const std::optional<std::string>& data,
                const std::optional<platform::http::HttpResponse>&, const std::optional<Error>& error) {
                if (auto self = weakSelf.lock())
                    self->m_queue.async([self, data, error] { self->didLoad(data, error); });
            });
    });
}

std::optional<platform::http::UrlRequest> EMBBetaController::updateRequest()
{
    auto delegate = m_delegate.lock();
    auto bundleIdentifier = CRNApplicationGetBundleIdentifier();
    if (!delegate || !bundleIdentifier)
        return std::nullopt;
    auto builder = CRNURLBuilder::URLWithBase(delegate->settingsForBetaController(*this).betaEndpoint());
    builder.appendComponent("/spi/v2/platforms/ios/apps/");
    builder.appendComponent(*bundleIdentifier);
    builder.appendComponent("/beta_update_check");
    builder.appendValue(nonEmpty(CRNApplicationGetBundleVersion()), "build_version");
    builder.appendValue(nonEmpty(CRNApplicationGetShortBundleVersion()), "display_version");
    builder.appendValue(nonEmpty(instanceIdentifier()), "instance");
    builder.appendValue(static_cast<int>(CRNApplicationInstallationSource()), "source");
    auto request
        = EMBKitRequest(builder.URLString(), kTimeout, delegate->APIKeyForBetaController(*this).value_or(""));
    request.setValue(betaToken().value_or(""), "X-Ember-Beta-Token");
    return request;
}

void EMBBetaController::didLoad(const std::optional<std::string>& data, const std::optional<Error>& error)
{
    // Whatever the outcome, the request is over: a failed one must not end checking for the process.
    m_retrying = false;
    if (error || !data || data->empty()) {
        debugLog("Failed to load update '" + (error ? error->localizedDescription() : "no data") + "'");
        return;
    }
    debugLog("Beta update loaded");
    suspendChecks();
    auto parsed = platform::foundation::parseJson(*data);
    if (!parsed.ok()) {
        debugLog("Unable to deserialize beta update data: " + parsed.error);
        didGetUpdate(std::nullopt);
        return;
    }
    std::optional<Error> unusable;
    auto update = EMBBetaUpdate::betaUpdateWithDictionary(parsed.value, &unusable);
    if (unusable)
        debugLog("Unable to read beta update data: " + unusable->localizedDescription());
    didGetUpdate(std::move(update));
}

void EMBBetaController::suspendChecks()
{
    m_checksSuspended = true;
    mainQueue().async([self = shared_from_this()] {
        double duration = 3600;
        if (auto delegate = self->m_delegate.lock())
            duration = delegate->settingsForBetaController(*self).betaSuspendDuration();
        std::weak_ptr<EMBBetaController> weakSelf = self;
        std::lock_guard lock(self->m_suspensionMutex);
        if (self->m_suspensionTimer)
            mainQueue().cancel(*self->m_suspensionTimer);
        self->m_suspensionTimer = mainQueue().after(duration, [weakSelf] {
            if (auto self = weakSelf.lock())
                self->allowChecks();
        });
    });
}

void EMBBetaController::allowChecks()
{
    std::lock_guard lock(m_suspensionMutex);
    m_checksSuspended = false;
    m_suspensionTimer.reset();
}

void EMBBetaController::didGetUpdate(std::optional<EMBBetaUpdate> update)
{
    if (!update) {
        debugLog("Beta update url is invalid");
        return;
    }
    mainQueue().async([self = shared_from_this(), update = std::move(*update)] {
        self->m_activeUpdate = update;
        self->m_alert
            = EMBAlert::alertWithTitle(update.promptTitle(), update.promptMessage() + "\n" + update.version(),
                self->weak_from_this(), update.cancelLabel(), update.installLabel());
        self->m_alert->show();
    });
}

void EMBBetaController::alertViewClickedButtonAtIndex(EMBAlert& alert, std::size_t buttonIndex)
{
    if (m_alert.get() != &alert)
        return;
    if (m_activeUpdate && alert.cancelButtonIndex() != buttonIndex) {
        EMBApplicationOpenURL(m_activeUpdate->url(), [](bool opened) {
            debugLog(std::string("Beta update url open ") + (opened ? "success" : "failure"));
        });
    }
    m_activeUpdate.reset();
    m_alert.reset();
}

}
