#include "testing/server/ServerResponse.h"

#include "platform/foundation/Json.h"

namespace testing {

ServerResponse ServerResponse::json(int status, const platform::foundation::Value& value)
{
    ServerResponse response;
    response.status = status;
    response.body = platform::foundation::toJson(value);
    return response;
}

ServerResponse ServerResponse::text(int status, std::string body, std::string contentType)
{
    ServerResponse response;
    response.status = status;
    response.body = std::move(body);
    response.contentType = std::move(contentType);
    return response;
}

ServerResponse ServerResponse::empty(int status)
{
    ServerResponse response;
    response.status = status;
    return response;
}

ServerResponse ServerResponse::dropped()
{
    ServerResponse response;
    response.drop = true;
    return response;
}

ServerResponse ServerResponse::delayed(double seconds) const
{
    ServerResponse response = *this;
    response.delay = seconds;
    return response;
}

}
