#pragma once

#include "platform/foundation/Error.h"
#include "platform/http/UrlLoading.h"
#include "platform/http/UrlRequest.h"

#include <functional>
#include <memory>
#include <string>

namespace platform::http {

class SessionEngine;
class Task;

/// One request whose progress is told step by step, as the phone's URL connection tells its delegate: an
/// answer gives its response, then its body (when not empty), then the end of loading; a transport failure
/// gives only the failure. Every step runs on the main queue.
///
/// The callbacks are held by the engine's transfer, not by the connection: whoever they hold lives until
/// the request has ended, is cancelled, or the engine goes away, while the connection itself may be held
/// by what the callbacks hold without making a cycle. Use on the main thread.
class UrlConnection {
public:
    /// What the connection tells, in this order.
    struct Callbacks {
        std::function<void(const HttpResponse& response)> didReceiveResponse;
        std::function<void(const std::string& data)> didReceiveData;
        std::function<void()> didFinishLoading;
        std::function<void(const foundation::Error& error)> didFailWithError;
    };

    /// Sends `request` on `engine` at once (its method, headers, body and time-out). Answers nullptr, and
    /// tells nothing, when no connection can be made for the request: its URL is no valid http or https
    /// URL.
    static std::shared_ptr<UrlConnection> start(
        const std::shared_ptr<SessionEngine>& engine, const UrlRequest& request, Callbacks callbacks);

    /// Made by start() only (public for std::make_shared).
    explicit UrlConnection(std::shared_ptr<Task> task);

    /// Stops the request: no callback runs after this returns. Cancelling an ended connection does
    /// nothing.
    void cancel();

private:
    std::shared_ptr<Task> m_task;
};

}
