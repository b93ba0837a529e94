#pragma once

#include <string>

namespace kit {

/// The readable form of a C++ symbol ("_ZN3kit5Ember5startEv" gives "kit::Ember::start()"); a symbol that
/// is not a mangled C++ one ("main", "_start") comes back as it is. Allocates: not for crash time.
std::string EMBDemangle(const char* symbol);

/// The readable form of a type's name as std::type_info gives it ("i" gives "int", "St13runtime_error"
/// gives "std::runtime_error"); a name that does not decode comes back as it is.
std::string EMBDemangleTypeName(const char* name);

}
