#pragma once

#include "kit/crash/capture/EMBContext.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kit::testing {

/// Capture set up in this process, as the crash reporting controller sets it up, in a fresh report
/// directory; taken down at the end of the test.
class CaptureFixture : public ::testing::Test {
protected:
    /// One recorded exception, its texts decoded.
    struct RecordedException {
        std::string type;
        std::string name;
        std::optional<std::string> reason;
    };

    void TearDown() override { EMBContextBaseDeinit(); }

    /// Sets capture up with `maximumCustomExceptions` (0: custom exceptions off).
    void startCapture(std::uint32_t maximumCustomExceptions = 8);
    /// The exceptions in the custom-exception files once the logging queue has drained, oldest first.
    std::vector<RecordedException> customExceptions() const;

    ::testing::TemporaryDirectory m_reportDirectory;
};

}
