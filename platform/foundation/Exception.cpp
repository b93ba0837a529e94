#include "platform/foundation/Exception.h"

namespace platform::foundation {

NamedException::NamedException(std::string name, std::string reason)
    : std::runtime_error(name + ": " + reason)
    , m_name(std::move(name))
    , m_reason(std::move(reason))
{
}

}
