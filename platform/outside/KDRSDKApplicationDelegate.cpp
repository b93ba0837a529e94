#include "platform/outside/KDRSDKApplicationDelegate.h"

namespace platform::outside {

KDRSDKApplicationDelegate& KDRSDKApplicationDelegate::sharedInstance()
{
    static KDRSDKApplicationDelegate sdk;
    return sdk;
}

bool KDRSDKApplicationDelegate::didFinishLaunching(const foundation::DictionaryRef& launchOptions)
{
    KDRSDKCall call;
    call.kind = KDRSDKCall::Kind::DidFinishLaunching;
    call.launchOptions = launchOptions;
    return receive(std::move(call), &KDRSDKApplicationDelegate::m_launchAnswer);
}

bool KDRSDKApplicationDelegate::openURL(const std::string& url,
    const std::optional<std::string>& sourceApplication, const foundation::Value& annotation)
{
    KDRSDKCall call;
    call.kind = KDRSDKCall::Kind::OpenURL;
    call.url = url;
    call.sourceApplication = sourceApplication;
    call.annotation = annotation;
    return receive(std::move(call), &KDRSDKApplicationDelegate::m_openURLAnswer);
}

bool KDRSDKApplicationDelegate::receive(KDRSDKCall call, bool KDRSDKApplicationDelegate::*answer)
{
    std::function<void(const KDRSDKCall&)> observer;
    bool answered;
    {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(call);
        observer = m_observer;
        answered = this->*answer;
    }
    // Outside the lock, so that the observer may ask the SDK what it has received.
    if (observer)
        observer(call);
    return answered;
}

void KDRSDKApplicationDelegate::setLaunchAnswer(bool answer)
{
    std::lock_guard lock(m_mutex);
    m_launchAnswer = answer;
}

void KDRSDKApplicationDelegate::setOpenURLAnswer(bool answer)
{
    std::lock_guard lock(m_mutex);
    m_openURLAnswer = answer;
}

void KDRSDKApplicationDelegate::setCallObserver(std::function<void(const KDRSDKCall&)> observer)
{
    std::lock_guard lock(m_mutex);
    m_observer = std::move(observer);
}

std::vector<KDRSDKCall> KDRSDKApplicationDelegate::calls() const
{
    std::lock_guard lock(m_mutex);
    return m_calls;
}

void KDRSDKApplicationDelegate::reset()
{
    std::lock_guard lock(m_mutex);
    m_calls.clear();
    m_launchAnswer = true;
    m_openURLAnswer = false;
    m_observer = nullptr;
}

}
