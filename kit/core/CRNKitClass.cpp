#include "kit/core/CRNKitClass.h"

namespace kit {

CRNKitClass::CRNKitClass(std::string name, std::shared_ptr<Kit> kit, SharedInstance sharedInstance)
    : m_name(std::move(name))
    , m_kit(std::move(kit))
    , m_sharedInstance(std::move(sharedInstance))
{
}

std::shared_ptr<const CRNKitClass> CRNKitClass::kitClass(std::shared_ptr<Kit> kit)
{
    auto name = kit->kitName();
    return std::shared_ptr<const CRNKitClass>(new CRNKitClass(std::move(name), std::move(kit), nullptr));
}

std::shared_ptr<const CRNKitClass> CRNKitClass::legacyKitClass(
    std::string name, SharedInstance sharedInstance)
{
    return std::shared_ptr<const CRNKitClass>(
        new CRNKitClass(std::move(name), nullptr, std::move(sharedInstance)));
}

std::shared_ptr<const CRNKitClass> CRNKitClass::plainClass(std::string name)
{
    return std::shared_ptr<const CRNKitClass>(new CRNKitClass(std::move(name), nullptr, nullptr));
}

std::shared_ptr<CRNLegacyKitInstance> CRNKitClass::sharedInstance() const
{
    return m_sharedInstance ? m_sharedInstance() : nullptr;
}

}
