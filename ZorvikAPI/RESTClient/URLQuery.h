#pragma once

#include <string>
#include <string_view>

namespace platform::foundation {
class Dictionary;
}

namespace zorvik::api {

/// The query of `parameters`: one "key=value" pair per entry (the value in its text form), joined with
/// "&", in the dictionary's key order. Nothing is escaped, so "&" and "=" inside keys or values stay as
/// they are.
std::string queryWithParameters(const platform::foundation::Dictionary& parameters);

/// `url` with its query replaced by queryWithParameters(`parameters`), the characters that may not stand
/// in a query percent-encoded; a fragment stays at the end. No parameters leave no query.
std::string urlWithString(std::string_view url, const platform::foundation::Dictionary& parameters);

}
