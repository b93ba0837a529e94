#pragma once

#include <functional>
#include <string>

namespace platform::foundation {
class DispatchQueue;
class OperationQueue;
}

namespace kit {

/// Deletes the file at `path`; a missing file counts as success. Allocates nothing: safe at crash time.
bool EMBUnlinkIfExists(const char* path);

/// `text` with every "-" removed and lower-cased ("E621E1F8-C36C" gives "e621e1f8c36c").
std::string EMBNormalizeUUID(const std::string& text);

/// A new random UUID in normalised form: 32 lower-case hexadecimal digits.
std::string EMBGenerateNormalizedUUID();

/// Runs `block` on `queue` once `seconds` have passed on the main queue's clock (virtual in tests). The queue
/// must outlive the delay.
void EMBDispatchAfter(platform::foundation::DispatchQueue& queue, std::function<void()> block, float seconds);

/// Once `seconds` have passed on the main queue's clock, adds `block` to `operationQueue` from the shared
/// global queue. The operation queue must outlive the delay.
void EMBAddOperationAfter(
    platform::foundation::OperationQueue& operationQueue, std::function<void()> block, float seconds);

}
