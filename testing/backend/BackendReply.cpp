#include "testing/backend/BackendReply.h"

#include "platform/foundation/Dictionary.h"

namespace testing {

using platform::foundation::Dictionary;
using platform::foundation::Value;

BackendReply BackendReply::ok(Value value)
{
    BackendReply reply;
    reply.json = std::move(value);
    return reply;
}

BackendReply BackendReply::bytes(std::string body, std::string contentType)
{
    BackendReply reply;
    reply.raw = std::move(body);
    reply.contentType = std::move(contentType);
    return reply;
}

BackendReply BackendReply::error(int status, std::string_view name, std::string_view message)
{
    BackendReply reply;
    reply.status = status;
    reply.json = Dictionary::make({ { "error",
        Dictionary::make({ { "statusCode", status }, { "name", name }, { "message", message } }) } });
    return reply;
}

}
