#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace platform::foundation {

class Dictionary;

/// What happened to an observed key: a new value, or elements inserted into
/// or removed from the array it holds (with their indexes, ascending).
struct Change {
    enum class Kind { Setting, Insertion, Removal, Replacement };
    Kind kind { Kind::Setting };
    std::vector<std::size_t> indexes;
};

/// Told about changes to the keys it observes. Dictionaries hold observers
/// weakly: an observer that goes away is dropped without being removed.
class Observer {
public:
    virtual ~Observer() = default;

    /// Called on the thread that made the change, after the change.
    virtual void observeValue(Dictionary& object, const std::string& key, const Change& change) = 0;
};

}
