#include "platform/foundation/Assertion.h"

#include <cstdio>
#include <cstdlib>

namespace platform::foundation {

void fatalError(std::string_view message, std::source_location location)
{
    std::fprintf(stderr, "Fatal error: %.*s (%s:%u, %s)\n", static_cast<int>(message.size()), message.data(),
        location.file_name(), static_cast<unsigned>(location.line()), location.function_name());
    std::fflush(stderr);
    std::abort();
}

}
