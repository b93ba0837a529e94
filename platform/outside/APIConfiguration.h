#pragma once

#include "platform/http/HttpError.h"
#include "platform/outside/Configuration.h"

#include <functional>
#include <memory>
#include <string>

namespace platform::http {
class SessionManager;
}

namespace platform::outside {

/// The client of the remote configuration service, which decides whether an app version may still run.
/// Wire format (our own): GET <service URL> answers a JSON document
///
///   {"versions": {"accepted": ["1000", ...]}, "redirectUrl": "<address of the update page>"}
///
/// Other keys are ignored. A relative "redirectUrl" is taken relative to the service URL. The client
/// sends no credentials. Use it on the main thread.
class APIConfiguration {
public:
    /// Receives the configuration.
    using Fetched = std::function<void(const Configuration& configuration)>;
    /// Receives why the configuration could not be had.
    using Failed = std::function<void(const http::HttpError& error)>;

    /// A client of the service at `url`.
    explicit APIConfiguration(std::string url);
    /// A fetch in flight is dropped: neither of its blocks runs.
    ~APIConfiguration();

    /// The service's URL.
    const std::string& url() const { return m_url; }

    /// Asks the service. Exactly one of `ok` and `error` runs, on the main queue, unless this client is
    /// destroyed first (then neither does). No answer, a status outside 2xx, and a document without the
    /// accepted versions or the redirect address go to `error`.
    void fetchConfiguration(Fetched ok, Failed error);

private:
    std::string m_url;
    std::shared_ptr<http::SessionManager> m_manager;
};

}
