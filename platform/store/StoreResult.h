#pragma once

#include <string>

namespace platform::store {

/// What a store operation gave back: its value, or the reason it failed (the value is then empty).
template<class T> struct StoreResult {
    T value {};
    std::string error;
    /// Whether the operation succeeded.
    bool ok() const { return error.empty(); }
};

/// The outcome of a store operation that gives back nothing: empty on success, else the reason.
struct StoreStatus {
    std::string error;
    /// Whether the operation succeeded.
    bool ok() const { return error.empty(); }
};

}
