#pragma once

#include <string_view>

namespace platform::foundation {

/// Compares two texts as the device's locale orders them (DeviceEnvironment), ignoring case: negative when
/// `left` comes first, zero when they are equal but for case, positive otherwise. Thread-safe.
int localizedCaseInsensitiveCompare(std::string_view left, std::string_view right);

}
