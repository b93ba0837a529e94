#pragma once

#include "kit/crash/EMBAlert.h"
#include "kit/crash/EMBBetaUpdate.h"
#include "kit/crash/EMBSettings.h"

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/http/UrlRequest.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace kit {

class CRNNetworkClient;
class EMBBetaController;

/// What the beta update check asks of the crash kit's facade.
class EMBBetaControllerDelegate {
public:
    virtual ~EMBBetaControllerDelegate() = default;

    /// The kit API key, or nullopt when none is configured.
    virtual std::optional<std::string> APIKeyForBetaController(EMBBetaController& controller) = 0;
    /// The crash kit's settings now.
    virtual EMBSettings settingsForBetaController(EMBBetaController& controller) = 0;
};

/// The beta token of a build handed to testers. This build has none: nullopt.
std::optional<std::string> EMBBetaToken();

/// Asks the kit service, after each kit settings download and each return to the foreground, whether a
/// newer test build exists, and offers to install it with an EMBAlert ("Install" opens its URL).
///
/// A check needs a beta token, so start() refuses without one and nothing is checked. With a token a check
/// runs on the serial queue "com.cairn.ember.ios.beta", one at a time: a trigger while a request is out
/// does nothing. A successful answer suspends checks for the settings' beta suspension duration on the main
/// queue's clock; a failed request lets the next trigger ask again. The alert and the button handling run
/// on the main queue.
///
/// Make it with initWithDelegate(); it stops observing when it goes away.
class EMBBetaController final : public EMBAlertDelegate,
                                public std::enable_shared_from_this<EMBBetaController> {
public:
    /// The name of the notification the kit platform posts after each settings download.
    static constexpr const char* kSettingsAvailableNotification { "CRNSettingsAvailableNotification" };
    /// How often a check request is retried at most.
    static constexpr std::size_t kRetryLimit { 10 };
    /// Seconds a check request may take.
    static constexpr double kTimeout { 10 };

    /// Where the beta token comes from.
    using TokenSource = std::function<std::optional<std::string>()>;

    /// Whether the app can take beta updates: it is no application extension and is signed for
    /// distribution (install source 3).
    static bool isBetaSupported();

    /// A controller for `delegate` (held weakly) with its queue and a network client pinned to the kit's
    /// built-in roots; `tokenSource` gives the beta token (EMBBetaToken() unless a test gives one).
    static std::shared_ptr<EMBBetaController> initWithDelegate(
        std::weak_ptr<EMBBetaControllerDelegate> delegate, TokenSource tokenSource = EMBBetaToken);
    ~EMBBetaController() override;

    /// The beta token: asked of the token source until it answers one, then kept.
    std::optional<std::string> betaToken();

    /// Without a beta token: false, and nothing is observed. Otherwise starts checking on each settings
    /// download and each return to the foreground, and answers true.
    bool start();

    /// Checks for an update now (see the class comment); returns at once.
    void checkForUpdate();

    /// A button of the update alert was pressed: any but cancel opens the update's URL. Either ends the
    /// offer.
    void alertViewClickedButtonAtIndex(EMBAlert& alert, std::size_t buttonIndex) override;

    /// The update being offered (main queue), or nullopt.
    const std::optional<EMBBetaUpdate>& activeUpdate() const { return m_activeUpdate; }
    /// Whether checks are suspended after a successful answer.
    bool checksSuspended() const { return m_checksSuspended; }
    /// Whether a check request is out.
    bool isRetrying() const { return m_retrying; }
    /// Waits until the work handed to the beta queue so far has run (not for a request that is out).
    void waitUntilIdle() { m_queue.waitUntilIdle(); }

    /// Made by initWithDelegate() (public for std::make_shared).
    EMBBetaController(std::weak_ptr<EMBBetaControllerDelegate> delegate, TokenSource tokenSource);

private:
    std::optional<platform::http::UrlRequest> updateRequest();
    void didLoad(
        const std::optional<std::string>& data, const std::optional<platform::foundation::Error>& error);
    void suspendChecks();
    void allowChecks();
    void didGetUpdate(std::optional<EMBBetaUpdate> update);

    std::weak_ptr<EMBBetaControllerDelegate> m_delegate;
    TokenSource m_tokenSource;
    std::mutex m_tokenMutex;
    std::optional<std::string> m_betaToken;
    std::shared_ptr<CRNNetworkClient> m_networkClient;
    platform::foundation::DispatchQueue m_queue { "com.cairn.ember.ios.beta" };
    std::optional<EMBBetaUpdate> m_activeUpdate;
    std::shared_ptr<EMBAlert> m_alert;
    std::atomic<bool> m_checksSuspended { false };
    std::atomic<bool> m_retrying { false };
    std::mutex m_suspensionMutex;
    std::optional<platform::foundation::MainQueue::TaskId> m_suspensionTimer;
    platform::foundation::ObserverToken m_settingsObserver;
    platform::foundation::ObserverToken m_foregroundObserver;
};

}
