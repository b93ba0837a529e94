#include "platform/foundation/Exception.h"

#include "platform/foundation/CallStack.h"

namespace platform::foundation {

NamedException::NamedException(std::string name, std::string reason)
    : std::runtime_error(name + ": " + reason)
    , m_name(std::move(name))
    , m_reason(std::move(reason))
    , m_callStack(platform::foundation::callStackReturnAddresses())
{
}

}
