#include "platform/http/Transfer.h"

#include "platform/http/TrustContexts.h"
#include "platform/http/Url.h"
#include "platform/http/UrlLoading.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace platform::http {

namespace {

constexpr int kMaximumRedirects = 10;
constexpr std::size_t kMebibyte = 1024 * 1024;

std::string trimmed(std::string_view text)
{
    auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

std::string lowercased(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool isNamed(const std::pair<std::string, std::string>& header, std::string_view name)
{
    return lowercased(header.first) == name;
}

bool isLoopback(const std::string& host)
{
    return host == "localhost" || host == "::1" || host.starts_with("127.");
}

// "http://127.0.0.1:80" for "http://127.0.0.1/x", so that two URLs of one origin compare equal.
std::string originOf(const std::string& url)
{
    std::string origin;
    CURLU* parts = curl_url();
    if (curl_url_set(parts, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK) {
        for (auto [part, flags] : { std::pair { CURLUPART_SCHEME, 0u }, { CURLUPART_HOST, 0u },
                 { CURLUPART_PORT, static_cast<unsigned>(CURLU_DEFAULT_PORT) } }) {
            char* text = nullptr;
            if (curl_url_get(parts, part, &text, flags) == CURLUE_OK)
                origin += lowercased(text);
            origin += '|';
            curl_free(text);
        }
    }
    curl_url_cleanup(parts);
    return origin;
}

std::string describeSize(std::size_t bytes)
{
    if (bytes % kMebibyte == 0)
        return std::to_string(bytes / kMebibyte) + " MiB";
    return std::to_string(bytes) + " bytes";
}

}

Transfer::Transfer(
    std::shared_ptr<Task> task, SessionEngine::Options options, SessionEngine::Completion completion)
    : m_task(std::move(task))
    , m_options(std::move(options))
    , m_completion(std::move(completion))
    , m_url(m_task->url())
    , m_method(m_task->method())
    , m_sendsBody(m_options.sendsBody)
    , m_requestHeaders(m_task->requestHeaders())
{
}

Transfer::~Transfer()
{
    if (m_easy)
        curl_easy_cleanup(m_easy);
    curl_slist_free_all(m_headerList);
}

void Transfer::begin(CURL* easy, TrustContexts& trust)
{
    m_easy = easy;
    m_trust = &trust;
    setUpHop();
}

void Transfer::setUpHop()
{
    CURL* easy = m_easy;
    curl_easy_reset(easy);
    m_errorBuffer[0] = '\0';
    m_tooLarge = false;
    m_outcome.body.clear();
    m_outcome.reason.clear();
    m_responseHeaders.clear();

    std::string host = hostOf(m_url);
    curl_easy_setopt(easy, CURLOPT_URL, m_url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, m_errorBuffer);
    // The time-out covers the whole chain of redirects.
    double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_started).count();
    curl_easy_setopt(
        easy, CURLOPT_CONNECTTIMEOUT_MS, std::max(1L, std::lround(m_options.connectTimeout * 1000)));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, std::max(1L, std::lround((m_options.timeout - spent) * 1000)));
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(m_options.maximumResponseSize));
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, receiveBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, receiveHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    if (isLoopback(host))
        curl_easy_setopt(easy, CURLOPT_PROXY, "");

    if (m_method == "GET") {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    } else if (m_method == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else {
        curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, m_method.c_str());
    }
    // libcurl sends a request once more when a connection kept from an earlier
    // one closes without answering. That is safe for every method but POST
    // and PATCH, which could then act twice on the server: they always go
    // out on a new connection, which is never sent on twice.
    if (m_method == "POST" || m_method == "PATCH")
        curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L);
    if (m_sendsBody) {
        // The task, which holds the body, lives as long as the transfer.
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, m_task->requestBody().data());
        curl_easy_setopt(
            easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(m_task->requestBody().size()));
    }

    curl_slist_free_all(m_headerList);
    m_headerList = nullptr;
    for (const auto& [name, value] : m_requestHeaders)
        m_headerList = curl_slist_append(m_headerList, (name + ": " + value).c_str());
    // No "Expect: 100-continue" round trip before larger bodies, and no
    // form content type made up for a body sent without one.
    m_headerList = curl_slist_append(m_headerList, "Expect:");
    bool typed = std::any_of(m_requestHeaders.begin(), m_requestHeaders.end(),
        [](const auto& header) { return isNamed(header, "content-type"); });
    if (m_sendsBody && !typed)
        m_headerList = curl_slist_append(m_headerList, "Content-Type:");
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, m_headerList);

    if (m_options.trustCheck)
        m_trust->install(easy, m_options.trustCheck, host);
}

Transfer::Hop Transfer::endHop(CURLcode code)
{
    if (code != CURLE_OK) {
        fail(code);
        return Hop::Finished;
    }
    long status = 0;
    curl_easy_getinfo(m_easy, CURLINFO_RESPONSE_CODE, &status);
    if (redirect(static_cast<int>(status)))
        return m_outcome.transportFailed ? Hop::Finished : Hop::Redirected;
    m_status = static_cast<int>(status);
    return Hop::Finished;
}

bool Transfer::redirect(int status)
{
    if (status != 301 && status != 302 && status != 303 && status != 307 && status != 308)
        return false;
    auto location = std::find_if(m_responseHeaders.begin(), m_responseHeaders.end(),
        [](const auto& header) { return isNamed(header, "location"); });
    if (location == m_responseHeaders.end())
        return false;
    if (++m_redirects > kMaximumRedirects) {
        fail(HttpError::Code::Other, UrlLoading::kHttpTooManyRedirects, "There were too many redirects.");
        return true;
    }
    std::string target = resolve(location->second, m_url);
    if (!target.starts_with("http://") && !target.starts_with("https://")) {
        fail(HttpError::Code::Other, UrlLoading::kUnsupportedUrl,
            "The server redirected to an address that is not HTTP: " + target);
        return true;
    }
    bool toGet = status == 303 ? m_method != "HEAD" : (status == 301 || status == 302) && m_sendsBody;
    if (toGet) {
        m_method = "GET";
        m_sendsBody = false;
        std::erase_if(m_requestHeaders, [](const auto& header) { return isNamed(header, "content-type"); });
    }
    if (originOf(target) != originOf(m_url)) {
        std::erase_if(m_requestHeaders,
            [](const auto& header) { return isNamed(header, "authorization") || isNamed(header, "cookie"); });
    }
    m_url = std::move(target);
    setUpHop();
    return true;
}

void Transfer::fail(HttpError::Code code, int loadingCode, std::string message)
{
    m_status = 0;
    m_responseHeaders.clear();
    m_outcome.body.clear();
    m_outcome.transportFailed = true;
    m_outcome.transportCode = code;
    m_outcome.loadingCode = loadingCode;
    m_outcome.transportMessage = std::move(message);
}

// A transfer that broke, even after a complete status line and headers,
// brought no answer: it fails with status 0, whatever came before the break.
void Transfer::fail(CURLcode code)
{
    using Code = HttpError::Code;
    if (m_tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        fail(Code::ResponseTooLarge, UrlLoading::kDataLengthExceedsMaximum,
            "The server's answer is larger than the " + describeSize(m_options.maximumResponseSize)
                + " this session accepts.");
        return;
    }
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        fail(Code::CannotConnect, UrlLoading::kCannotFindHost,
            "A server with the specified hostname could not be found.");
        break;
    case CURLE_COULDNT_CONNECT:
        fail(Code::CannotConnect, UrlLoading::kCannotConnectToHost, "Could not connect to the server.");
        break;
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
        fail(Code::CannotConnect, UrlLoading::kNetworkConnectionLost, "The network connection was lost.");
        break;
    case CURLE_OPERATION_TIMEDOUT:
        fail(Code::TimedOut, UrlLoading::kTimedOut, "The request timed out.");
        break;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
        fail(Code::SecureConnectionFailed, UrlLoading::kSecureConnectionFailed,
            "A secure connection to the server could not be made.");
        break;
    default:
        fail(Code::Other, UrlLoading::kUnknown, curl_easy_strerror(code));
        break;
    }
    if (m_errorBuffer[0])
        m_outcome.transportMessage += std::string(" (") + m_errorBuffer + ")";
}

size_t Transfer::receiveBody(char* data, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    std::string& body = transfer->m_outcome.body;
    // An answer without a length is counted as it comes; returning less than
    // was given ends the transfer.
    if (size * count > transfer->m_options.maximumResponseSize - body.size()) {
        transfer->m_tooLarge = true;
        return 0;
    }
    body.append(data, size * count);
    return size * count;
}

// Every answer (a redirect, a "100 Continue", the final one) starts with
// its status line; only the last answer's headers are kept.
size_t Transfer::receiveHeader(char* data, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    std::string_view line(data, size * count);
    if (line.starts_with("HTTP/")) {
        transfer->m_responseHeaders.clear();
        auto firstSpace = line.find(' ');
        auto secondSpace = firstSpace == std::string_view::npos ? firstSpace : line.find(' ', firstSpace + 1);
        transfer->m_outcome.reason
            = secondSpace == std::string_view::npos ? "" : lowercased(trimmed(line.substr(secondSpace + 1)));
    } else if (auto colon = line.find(':'); colon != std::string_view::npos) {
        transfer->m_responseHeaders.emplace_back(
            trimmed(line.substr(0, colon)), trimmed(line.substr(colon + 1)));
    }
    return size * count;
}

}
