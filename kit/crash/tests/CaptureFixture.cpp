#include "kit/crash/tests/CaptureFixture.h"

#include "kit/crash/EMBUserLogging.h"
#include "kit/crash/capture/tests/CaptureChild.h"
#include "kit/crash/tests/UserLoggingFixture.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"

namespace kit::testing {

void CaptureFixture::startCapture(std::uint32_t maximumCustomExceptions)
{
    std::string directory = m_reportDirectory.path().string();
    EMBContextInitParameters params;
    params.apiKey = "0123456789abcdef0123456789abcdef01234567";
    params.reportDirectory = directory.c_str();
    params.reportIdentifier = "5e0c3b1a9d2f4e6a8b7c6d5e4f3a2b1c";
    params.installIdentifier = "0C4F5C8E-6B1D-4F7A-9E2B-3A1D5C7E9F00";
    params.customExceptionsEnabled = maximumCustomExceptions > 0;
    params.maximumCustomExceptions = maximumCustomExceptions;
    params.errorReportingEnabled = true;
    params.logBufferSize = 65536;
    params.errorLogBufferSize = 65536;
    params.maximumCustomKeys = 64;
    EMBContextInitialize(&params);
    ASSERT_TRUE(waitForCaptureSetUp());
}

std::vector<CaptureFixture::RecordedException> CaptureFixture::customExceptions() const
{
    if (auto* queue = EMBUserLoggingQueue())
        queue->waitUntilIdle();
    std::vector<RecordedException> recorded;
    for (const char* name : { "custom_exception_a.embrecord", "custom_exception_b.embrecord" }) {
        for (const auto& line : fileLines((m_reportDirectory.path() / name).string())) {
            auto record = platform::foundation::parseJson(line).value.dictionary();
            auto exception = record ? record->get("exception").dictionary() : nullptr;
            if (!exception)
                continue;
            auto reason = exception->get("reason");
            recorded.push_back({ exception->get("type").stringValue(),
                hexDecode(exception->get("name").stringValue()),
                reason.string() ? std::optional<std::string>(hexDecode(*reason.string())) : std::nullopt });
        }
    }
    return recorded;
}

}
