#pragma once

#include <string>

namespace platform::store {

/// What a failure says about the store file, where it says something.
enum class StoreFault {
    /// Nothing about the file (or no failure): no room, no permission, a request the store refused.
    None,
    /// Another connection held the file locked for longer than the store waits.
    Locked,
    /// The file is not a store, or it is damaged.
    Damaged,
};

/// What a store operation gave back: its value, or the reason it failed (the value is then empty).
template<class T> struct StoreResult {
    T value {};
    std::string error;
    StoreFault fault { StoreFault::None };
    /// Whether the operation succeeded.
    bool ok() const { return error.empty(); }
};

/// The outcome of a store operation that gives back nothing: empty on success, else the reason.
struct StoreStatus {
    std::string error;
    StoreFault fault { StoreFault::None };
    /// Whether the operation succeeded.
    bool ok() const { return error.empty(); }
};

}
