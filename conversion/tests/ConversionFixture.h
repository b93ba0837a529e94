#pragma once

#include "platform/foundation/Value.h"
#include "testing/ScopedEnvironment.h"
#include "testing/TemporaryDirectory.h"
#include "testing/backend/Backend.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace conversion::test {

/// A phone for the tracker: a home folder of its own (so fresh standard defaults), the conversion and
/// activity services on the local back-end, the advertising-identifier service with tracking allowed, the
/// tracker's state made anew, and the log captured.
class ConversionFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// Turns the main queue until the services have kept `count` pings in all.
    bool waitForPings(std::size_t count);
    /// Turns the main queue until the back-end has received `count` requests in all.
    bool waitForRequests(std::size_t count);
    /// Every ping the services received, failed attempts included, oldest first.
    std::vector<testing::ConversionPing> attempts() const;
    /// The request strings of the persisted ping store, in order.
    static std::vector<std::string> storedRequests();
    /// The persisted form of the stored ping `requestString`, or null.
    static platform::foundation::DictionaryRef storedForm(const std::string& requestString);
    /// The lines logged so far.
    std::vector<std::string> logLines() const;
    /// Forgets the lines logged so far.
    void clearLog();
    /// Whether a line "<Marquee> <text>" was logged.
    bool logged(const std::string& text) const;
    /// The phone's advertising identifier, as upper-case UUID text.
    static std::string advertisingIdentifier();
    /// Lets go of the tracker's state as the end of a run does; the next use makes it anew from storage.
    static void restart();

    testing::Backend backend;
    testing::ScopedEnvironment environment;

private:
    testing::TemporaryDirectory m_home;
    mutable std::mutex m_logMutex;
    std::vector<std::string> m_log;
};

}
