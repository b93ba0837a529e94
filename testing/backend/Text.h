#pragma once

#include <string>
#include <string_view>

namespace testing {

/// `text` with its ASCII letters in lower case.
std::string lowercase(std::string_view text);
/// `text` without the white space around it.
std::string_view trimmed(std::string_view text);
/// Whether `text` is empty or only white space.
bool isBlank(std::string_view text);

}
