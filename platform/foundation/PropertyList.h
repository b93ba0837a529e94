#pragma once

#include "platform/foundation/Value.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform::foundation {

/// Property lists, the format of the bundle's Info.plist and of the kits' small stores, in XML or in the
/// binary form, to and from Value.
///
/// Booleans, integers, reals, strings, dates, data, arrays and dictionaries map to the Value of the same
/// kind (the XML form keeps dates to the whole second). Null has no form in a property list: a null inside a
/// dictionary is left out, and a null at the top level or inside an array cannot be written. Reading never
/// throws: malformed input is nullopt.
class PropertyList {
public:
    /// The value of an XML or binary property list (the form is recognised from the bytes).
    static std::optional<Value> read(std::string_view bytes);
    /// As read(), over bytes.
    static std::optional<Value> read(const Bytes& bytes);

    /// The value as an XML property list; nullopt when it holds a null where none may stand.
    static std::optional<std::string> xml(const Value& value);

    /// The value as a binary property list; nullopt as for xml().
    static std::optional<Bytes> binary(const Value& value);
};

}
