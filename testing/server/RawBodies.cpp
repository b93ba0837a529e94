#include "testing/server/RawBodies.h"

#include <strings.h>

#include <string_view>

namespace testing {

namespace {

constexpr std::string_view kMask { "raw+" };

bool isContentType(const std::string& name)
{
    return strcasecmp(name.c_str(), "Content-Type") == 0;
}

}

void keepRawBodies(httplib::Server& server)
{
    // The only hook that runs before the body is read sees the request as const; the request is the
    // server's own, not a const object, so it may be changed.
    server.set_pre_routing_handler([](const httplib::Request& request, httplib::Response&) {
        for (auto& [name, value] : const_cast<httplib::Request&>(request).headers) {
            if (isContentType(name) && value.starts_with("multipart/"))
                value.insert(0, kMask);
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
}

void unmaskContentType(httplib::Headers& headers)
{
    for (auto& [name, value] : headers) {
        if (isContentType(name) && value.starts_with(kMask))
            value.erase(0, kMask.size());
    }
}

}
