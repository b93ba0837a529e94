#include "kit/analytics/EMBFileSystemError.h"

#include "platform/foundation/Dictionary.h"

namespace kit {

platform::foundation::Error EMBFileSystemError(const std::error_code& code, const std::filesystem::path& path)
{
    return platform::foundation::Error(kEMBFileSystemErrorDomain, code.value(),
        platform::foundation::Dictionary::make({ { "NSFilePath", path.string() },
            { platform::foundation::Error::kLocalizedDescriptionKey,
                code.message() + ": " + path.string() } }));
}

bool EMBFail(std::optional<platform::foundation::Error>* error, platform::foundation::Error failure)
{
    if (error)
        *error = std::move(failure);
    return false;
}

}
