#include "conversion/ACTPinger.h"

#include "conversion/ACTApplication.h"
#include "conversion/ACTLog.h"
#include "conversion/ACTPingRetryQueue.h"
#include "conversion/ACTPingRetryScheduler.h"
#include "conversion/ACTPingerStore.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Text.h"
#include "platform/http/StatusText.h"
#include "platform/http/UrlConnection.h"

namespace conversion {

using platform::foundation::Date;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Error;
using platform::http::UrlConnection;
using platform::http::UrlRequest;

std::shared_ptr<ACTPinger> ACTPinger::make(UrlRequest request)
{
    return std::make_shared<ACTPinger>(
        std::move(request), kRetryCount, platform::foundation::now().addingSeconds(kStaleInterval), false);
}

std::shared_ptr<ACTPinger> ACTPinger::pingerWithRequestString(
    const std::optional<std::string>& requestString, const DictionaryRef& retryParameters)
{
    if (!requestString)
        return nullptr;
    UrlRequest request;
    request.url = *requestString;
    std::uint64_t count = kRetryCount;
    std::optional<Date> staleDate = platform::foundation::now().addingSeconds(kStaleInterval);
    if (retryParameters) {
        auto stored = retryParameters->get(kRetryCountKey).integer();
        count = stored && *stored > 0 ? static_cast<std::uint64_t>(*stored) : 0;
        auto stale = retryParameters->get(kStaleDateKey);
        staleDate = stale.date();
        if (!staleDate && stale.type() != platform::foundation::Value::Type::Bool && stale.number())
            staleDate = Date { *stale.number() };
    }
    return std::make_shared<ACTPinger>(std::move(request), count, staleDate, true);
}

ACTPinger::ACTPinger(UrlRequest request, std::uint64_t remainingRetryCount, std::optional<Date> staleDate,
    bool modifiedForRetry)
    : m_modifiedForRetry(modifiedForRetry)
    , m_request(std::move(request))
    , m_remainingRetryCount(remainingRetryCount)
    , m_staleDate(staleDate)
{
}

ACTPinger::~ACTPinger()
{
    m_delegate.reset();
    if (m_connection)
        m_connection->cancel();
}

void ACTPinger::ping()
{
    if (m_connection)
        return;
    auto application = ACTApplication::sharedApplication();
    auto self = shared_from_this();
    UrlConnection::Callbacks callbacks {
        [self](
            const platform::http::HttpResponse& response) { self->connectionDidReceiveResponse(response); },
        [self](const std::string& data) { self->connectionDidReceiveData(data); },
        [self] { self->connectionDidFinishLoading(); },
        [self](const Error& error) { self->connectionDidFailWithError(error); },
    };
    setConnection(UrlConnection::start(application->sessionEngine(), m_request, std::move(callbacks)));
    appendRetryParameter();
    application->pingerStore()->addPinger(*this);
    if (!m_connection) {
        ACTLog::logPublicMessage("could not initiate connection.");
        handleFailureWithError(std::nullopt);
    }
}

bool ACTPinger::shouldRetry() const
{
    return m_remainingRetryCount != 0 && m_staleDate && *m_staleDate > platform::foundation::now();
}

void ACTPinger::appendRetryParameter()
{
    if (m_modifiedForRetry)
        return;
    UrlRequest request;
    request.url = m_request.url + (m_request.url.find('?') != std::string::npos ? "&retry=1" : "?retry=1");
    m_request = std::move(request);
    m_modifiedForRetry = true;
}

void ACTPinger::handleFailureWithError(const std::optional<Error>& error)
{
    if (shouldRetry()) {
        ACTApplication::sharedApplication()->retryScheduler()->retryQueue().addPinger(shared_from_this());
        --m_remainingRetryCount;
        return;
    }
    ACTLog::logPublicMessage(
        "ping unsuccessful. Error: " + (error ? error->localizedDescription() : std::string("(null)")) + ".");
    ACTApplication::sharedApplication()->pingerStore()->removePinger(*this);
    if (auto delegate = std::exchange(m_delegate, nullptr))
        delegate->pingDidFail(*this, error);
}

void ACTPinger::connectionDidReceiveResponse(const platform::http::HttpResponse& response)
{
    m_response = response;
    m_receivedData.clear();
}

void ACTPinger::connectionDidReceiveData(const std::string& data)
{
    m_receivedData += data;
}

void ACTPinger::connectionDidFinishLoading()
{
    int status = m_response ? m_response->statusCode : 0;
    if (status >= 400) {
        // As after a transport error, the delegate stays to hear of the retry's outcome; a ping given up
        // has told it and let it go.
        auto body
            = platform::foundation::isValidUtf8(m_receivedData) ? m_receivedData : std::string("(null)");
        handleFailureWithError(Error::withDescription(kErrorDomain, status,
            platform::http::localizedStringForStatusCode(status) + " \"" + body + "\""));
        setConnection(nullptr);
        return;
    }
    if (status == 200) {
        ACTLog::logPublicMessage("ping successful.");
        ACTApplication::sharedApplication()->pingerStore()->removePinger(*this);
        if (m_delegate)
            m_delegate->pingDidSucceed(*this);
    }
    setConnection(nullptr);
    m_delegate.reset();
}

void ACTPinger::connectionDidFailWithError(const Error& error)
{
    handleFailureWithError(error);
    setConnection(nullptr);
}

DictionaryRef ACTPinger::parameters() const
{
    if (!m_staleDate)
        return nullptr;
    return Dictionary::make({ { kRetryCountKey, static_cast<std::int64_t>(m_remainingRetryCount) },
        { kStaleDateKey, *m_staleDate } });
}

bool ACTPinger::isEqual(const ACTPinger& other) const
{
    return m_request.method == other.m_request.method && m_request.url == other.m_request.url;
}

void ACTPinger::setConnection(std::shared_ptr<UrlConnection> connection)
{
    auto replaced = std::exchange(m_connection, std::move(connection));
    if (replaced && replaced != m_connection)
        replaced->cancel();
}

}
