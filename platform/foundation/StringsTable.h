#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace platform::foundation {

/// Reads a localisation table ("Name.strings"): entries `"key" = "value";`, with C and C++ comments and the
/// escapes \", \\, \n, \t and \r. Nullopt when the text is not such a table.
std::optional<std::map<std::string, std::string>> parseStringsTable(std::string_view text);

}
