#include "platform/ui/NibOwner.h"

#include "platform/ui/Constraint.h"
#include "platform/ui/View.h"

#include <cxxabi.h>

namespace platform::ui {

namespace {

std::string readableTypeName(const std::type_info& type)
{
    int status = 0;
    char* demangled = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    std::string name = status == 0 && demangled ? demangled : type.name();
    std::free(demangled);
    return name;
}

}

NibOwner::NibOwner()
    : m_lifetime(std::make_shared<const char>('\0'))
{
}

NibOwner::~NibOwner() = default;

std::string NibOwner::nibOwnerName() const
{
    if (auto* view = dynamic_cast<const View*>(this))
        return view->className();
    return "nib owner";
}

std::vector<std::string> NibOwner::outletNames() const
{
    std::vector<std::string> names;
    for (const auto& [name, outlet] : m_outlets)
        names.push_back(name);
    return names;
}

std::vector<std::string> NibOwner::unconnectedOutlets() const
{
    std::vector<std::string> names;
    for (const auto& [name, outlet] : m_outlets) {
        if (outlet.requirement == OutletRequirement::Required && !outlet.connected)
            names.push_back(name);
    }
    return names;
}

NibOwner::Connection NibOwner::connectOutlet(const std::string& name, const std::shared_ptr<View>& view)
{
    auto found = m_outlets.find(name);
    if (found == m_outlets.end())
        return Connection::NoSuchOutlet;
    if (!found->second.binders.view || !found->second.binders.view(view))
        return Connection::WrongType;
    found->second.connected = true;
    return Connection::Connected;
}

NibOwner::Connection NibOwner::connectOutlet(
    const std::string& name, const std::shared_ptr<Constraint>& constraint)
{
    auto found = m_outlets.find(name);
    if (found == m_outlets.end())
        return Connection::NoSuchOutlet;
    if (!found->second.binders.constraint || !found->second.binders.constraint(constraint))
        return Connection::WrongType;
    found->second.connected = true;
    return Connection::Connected;
}

std::string NibOwner::outletTypeName(const std::string& name) const
{
    auto found = m_outlets.find(name);
    return found == m_outlets.end() ? "" : readableTypeName(*found->second.type);
}

NibOwner::Action NibOwner::action(const std::string& name) const
{
    auto found = m_actions.find(name);
    if (found == m_actions.end())
        return {};
    return [lifetime = lifetime(), handler = found->second](View& sender) {
        if (auto alive = lifetime.lock())
            handler(sender);
    };
}

void NibOwner::declareAction(const std::string& name, Action action)
{
    m_actions[name] = std::move(action);
}

void NibOwner::addOutlet(
    const std::string& name, const std::type_info& type, OutletRequirement requirement, Binders binders)
{
    m_outlets[name] = Outlet { &type, requirement, std::move(binders), false };
}

}
