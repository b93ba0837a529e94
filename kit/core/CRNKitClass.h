#pragma once

#include "kit/core/Kit.h"

#include <functional>
#include <memory>
#include <string>

namespace kit {

/// The shared instance of a kit of the older kind, which does not adopt the kit protocol: the operations
/// it answers (an empty function is one it does not answer).
struct CRNLegacyKitInstance {
    std::function<void()> start;
    std::function<std::string()> bundleIdentifier;
    std::function<std::string()> version;
};

/// A class as the platform finds it at run time: its name and what it answers. A kit class adopts the
/// kit protocol, its class operations answered by a Kit object (a kit's one object plays its class); a
/// legacy kit class answers only for a shared instance; any other class is no kit. Immutable.
class CRNKitClass {
public:
    using SharedInstance = std::function<std::shared_ptr<CRNLegacyKitInstance>()>;

    /// The class of `kit`, named by its kitName().
    static std::shared_ptr<const CRNKitClass> kitClass(std::shared_ptr<Kit> kit);
    /// A class named `name` whose shared instance `sharedInstance` answers.
    static std::shared_ptr<const CRNKitClass> legacyKitClass(std::string name, SharedInstance sharedInstance);
    /// A class named `name` that answers nothing a kit does.
    static std::shared_ptr<const CRNKitClass> plainClass(std::string name);

    const std::string& name() const { return m_name; }
    /// Whether the class adopts the kit protocol: kit() answers its operations.
    bool conformsToKitProtocol() const { return m_kit != nullptr; }
    /// The object answering the class's kit operations, or null.
    const std::shared_ptr<Kit>& kit() const { return m_kit; }
    /// Whether the class answers for a shared instance.
    bool respondsToSharedInstance() const { return static_cast<bool>(m_sharedInstance); }
    /// The shared instance, or null.
    std::shared_ptr<CRNLegacyKitInstance> sharedInstance() const;

private:
    CRNKitClass(std::string name, std::shared_ptr<Kit> kit, SharedInstance sharedInstance);

    std::string m_name;
    std::shared_ptr<Kit> m_kit;
    SharedInstance m_sharedInstance;
};

}
