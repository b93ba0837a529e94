#include "kit/core/CRNKitRegistry.h"

namespace kit {

CRNKitRegistry& CRNKitRegistry::shared()
{
    // Never destroyed: the kits' queues may still use it while the process exits.
    static auto* registry = new CRNKitRegistry;
    return *registry;
}

void CRNKitRegistry::registerClass(std::shared_ptr<const CRNKitClass> kitClass)
{
    std::lock_guard lock(m_mutex);
    auto name = kitClass->name();
    m_classes.insert_or_assign(std::move(name), std::move(kitClass));
}

void CRNKitRegistry::unregisterClass(std::string_view name)
{
    std::lock_guard lock(m_mutex);
    if (auto found = m_classes.find(name); found != m_classes.end())
        m_classes.erase(found);
}

std::shared_ptr<const CRNKitClass> CRNKitRegistry::classNamed(std::string_view name) const
{
    std::lock_guard lock(m_mutex);
    auto found = m_classes.find(name);
    return found == m_classes.end() ? nullptr : found->second;
}

std::shared_ptr<const CRNKitClass> CRNKitRegistry::classOf(const std::shared_ptr<Kit>& kit)
{
    auto name = kit->kitName();
    std::lock_guard lock(m_mutex);
    auto& entry = m_classes[name];
    if (!entry || entry->kit() != kit)
        entry = CRNKitClass::kitClass(kit);
    return entry;
}

}
