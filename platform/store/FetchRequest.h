#pragma once

#include "platform/foundation/Value.h"

#include <cstddef>
#include <optional>
#include <string>

namespace platform::store {

/// Which records of one entity to fetch or count: all of them, or those whose one attribute equals a
/// value, up to a limit.
struct FetchRequest {
    /// A fixed predicate: the attribute `attribute` equals `value`. A null value matches records where
    /// the attribute is empty. Strings compare exactly (case and all).
    struct Equals {
        std::string attribute {};
        foundation::Value value {};
    };

    std::string entityName {};
    /// The predicate, or nullopt for every record.
    std::optional<Equals> predicate {};
    /// At most this many records (0: no limit).
    std::size_t fetchLimit { 0 };
};

}
