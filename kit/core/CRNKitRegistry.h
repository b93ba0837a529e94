#pragma once

#include "kit/core/CRNKitClass.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace kit {

/// The classes the platform can find by name at run time ("Ember", "Tally", "Signet"), as the kits
/// register them. A kit object handed to the platform proves its class: classOf() registers it. Thread-safe.
class CRNKitRegistry {
public:
    /// The process's registry.
    static CRNKitRegistry& shared();

    /// Registers `kitClass` under its name, replacing a class of that name.
    void registerClass(std::shared_ptr<const CRNKitClass> kitClass);
    /// Forgets the class named `name`.
    void unregisterClass(std::string_view name);
    /// The class named `name`, or null.
    std::shared_ptr<const CRNKitClass> classNamed(std::string_view name) const;
    /// The class of `kit`: the registered class of its name when `kit` answers for it, else a class of
    /// `kit`, registered now.
    std::shared_ptr<const CRNKitClass> classOf(const std::shared_ptr<Kit>& kit);

private:
    mutable std::mutex m_mutex;
    std::map<std::string, std::shared_ptr<const CRNKitClass>, std::less<>> m_classes;
};

}
