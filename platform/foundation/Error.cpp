#include "platform/foundation/Error.h"

#include "platform/foundation/Dictionary.h"

namespace platform::foundation {

Error::Error(std::string domain, std::int64_t code, DictionaryRef userInfo, std::vector<Error> underlying)
    : m_domain(std::move(domain))
    , m_code(code)
    , m_userInfo(userInfo ? std::move(userInfo) : Dictionary::make())
    , m_underlying(std::move(underlying))
{
}

Error Error::withDescription(std::string domain, std::int64_t code, std::string description)
{
    return Error(
        std::move(domain), code, Dictionary::make({ { kLocalizedDescriptionKey, std::move(description) } }));
}

std::string Error::localizedDescription() const
{
    Value description = m_userInfo->get(kLocalizedDescriptionKey);
    if (const auto* text = description.string())
        return *text;
    return "The operation couldn't be completed. (" + m_domain + " error " + std::to_string(m_code) + ".)";
}

}
