#pragma once

#include "platform/foundation/Exception.h"

#include <string>

namespace kit {

/// What the kit platform raises for a misconfigured app (its Info.plist, or something passed as a kit that
/// is none): the exception named "CRNException" with a reason saying what to mend.
class CRNException : public platform::foundation::NamedException {
public:
    /// The exception's name.
    static constexpr const char* kName { "CRNException" };

    explicit CRNException(std::string reason)
        : NamedException(kName, std::move(reason))
    {
    }
};

}
