#pragma once

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Value.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace platform::outside {

/// One call the Kindred SDK received from the app.
struct KDRSDKCall {
    enum class Kind { DidFinishLaunching, OpenURL };

    Kind kind { Kind::DidFinishLaunching };
    /// The launch options handed over at launch (null when there were none).
    foundation::DictionaryRef launchOptions;
    /// The URL handed over to open.
    std::string url;
    /// The app that asked to open the URL, when known.
    std::optional<std::string> sourceApplication;
    /// What came with the URL.
    foundation::Value annotation;
};

/// The stand-in for the Kindred social SDK's entry point: it does nothing with what it is given, but records
/// every call (and tells an observer, when one is set, as each arrives) and answers as it is told to.
/// Thread-safe.
class KDRSDKApplicationDelegate {
public:
    /// The process's SDK entry point.
    static KDRSDKApplicationDelegate& sharedInstance();

    KDRSDKApplicationDelegate(const KDRSDKApplicationDelegate&) = delete;
    KDRSDKApplicationDelegate& operator=(const KDRSDKApplicationDelegate&) = delete;

    /// The app finished launching with `launchOptions` (null for none). Answers the launch answer (true
    /// unless set otherwise).
    bool didFinishLaunching(const foundation::DictionaryRef& launchOptions);
    /// The app was asked to open `url`. Answers whether the SDK handled it: the open-URL answer (false unless
    /// set otherwise).
    bool openURL(const std::string& url, const std::optional<std::string>& sourceApplication,
        const foundation::Value& annotation);

    /// Sets what didFinishLaunching() answers.
    void setLaunchAnswer(bool answer);
    /// Sets what openURL() answers.
    void setOpenURLAnswer(bool answer);
    /// Calls `observer` with each call as it arrives, before answering (an empty function stops that).
    void setCallObserver(std::function<void(const KDRSDKCall&)> observer);

    /// The calls received so far, oldest first.
    std::vector<KDRSDKCall> calls() const;

    /// Forgets the calls, the answers and the observer: for tests.
    void reset();

private:
    KDRSDKApplicationDelegate() = default;

    bool receive(KDRSDKCall call, bool KDRSDKApplicationDelegate::*answer);

    mutable std::mutex m_mutex;
    std::vector<KDRSDKCall> m_calls;
    bool m_launchAnswer { true };
    bool m_openURLAnswer { false };
    std::function<void(const KDRSDKCall&)> m_observer;
};

}
