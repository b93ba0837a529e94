#pragma once

#include "platform/foundation/Log.h"

#include <string>
#include <string_view>

namespace kit {

/// A crash kit log whose lines begin with its prefix ("[Ember:Crash:Reports]"): write() always reaches the
/// system log (failures), progress() only in the kit platform's debug mode.
class EMBKitLog {
public:
    explicit EMBKitLog(std::string prefix)
        : m_log(std::move(prefix))
    {
    }

    void write(std::string_view message) const { m_log.write(message); }
    /// Logs `message` in debug mode only.
    void progress(std::string_view message) const;

private:
    platform::foundation::Log m_log;
};

}
