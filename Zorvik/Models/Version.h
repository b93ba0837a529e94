#pragma once

#include <string>

namespace zorvik {

/// The app's version as the remote configuration is asked about it.
class Version {
public:
    Version() = delete;

    /// The short version of this build: "1000", fixed in the code.
    static std::string appShortVersion();
};

}
