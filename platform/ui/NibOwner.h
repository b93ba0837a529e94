#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <vector>

namespace platform::ui {

class Constraint;
class View;

/// Whether a nib must connect an outlet for its owner to be complete.
enum class OutletRequirement { Required, Optional };

/// An object that nibs bind to: it declares its outlets (named slots that a nib fills with one of its views
/// or constraints) and its actions (named handlers that a nib's controls call). Views that load their own
/// nibs derive from it next to their view class, and declare everything in their constructor, before they
/// load anything:
///
///     class NavigationBar : public View, public NibOwner {
///         NavigationBar() { declareOutlet("title", m_title); declareAction("negativePressed", ...); }
///     };
///
/// A nib that connects a name the owner does not declare, or gives an object of the wrong type, fails to
/// load (NibError). unconnectedOutlets() tells which required outlets no nib has filled yet.
class NibOwner {
public:
    /// Handler of a named action; `sender` is the control (or other view) that sent it.
    using Action = std::function<void(View& sender)>;

    NibOwner();
    virtual ~NibOwner();
    NibOwner(const NibOwner&) = delete;
    NibOwner& operator=(const NibOwner&) = delete;

    /// The name shown in nib messages: the class name when the owner is a view, else "nib owner".
    std::string nibOwnerName() const;

    /// Whether an outlet of that name is declared.
    bool hasOutlet(const std::string& name) const { return m_outlets.contains(name); }
    /// Whether an action of that name is declared.
    bool hasAction(const std::string& name) const { return m_actions.contains(name); }
    /// The declared outlets, by name.
    std::vector<std::string> outletNames() const;
    /// The required outlets that no nib has connected yet, by name.
    std::vector<std::string> unconnectedOutlets() const;

    /// How an attempt to fill an outlet went.
    enum class Connection { Connected, NoSuchOutlet, WrongType };
    /// Fills the outlet with a view.
    Connection connectOutlet(const std::string& name, const std::shared_ptr<View>& view);
    /// Fills the outlet with a constraint.
    Connection connectOutlet(const std::string& name, const std::shared_ptr<Constraint>& constraint);
    /// The readable name of the type an outlet takes ("platform::ui::Label"), or "" when there is no such
    /// outlet.
    std::string outletTypeName(const std::string& name) const;

    /// The declared action of that name, called only while this owner lives; empty when none is declared.
    Action action(const std::string& name) const;
    /// A token that lives exactly as long as the owner, for holders of its actions (a control's target).
    std::weak_ptr<const void> lifetime() const { return m_lifetime; }

protected:
    /// Declares an outlet held strongly. T is View or a subclass of it, or Constraint.
    template<class T>
    void declareOutlet(const std::string& name, std::shared_ptr<T>& slot,
        OutletRequirement requirement = OutletRequirement::Required)
    {
        addOutlet(name, typeid(T), requirement,
            binder<T>([&slot](std::shared_ptr<T> value) { slot = std::move(value); }));
    }
    /// Declares an outlet held weakly (the view tree keeps the view alive). T as above.
    template<class T>
    void declareOutlet(const std::string& name, std::weak_ptr<T>& slot,
        OutletRequirement requirement = OutletRequirement::Required)
    {
        addOutlet(
            name, typeid(T), requirement, binder<T>([&slot](std::shared_ptr<T> value) { slot = value; }));
    }
    /// Declares an action that nibs may connect to their controls.
    void declareAction(const std::string& name, Action action);

private:
    struct Binders {
        std::function<bool(const std::shared_ptr<View>&)> view;
        std::function<bool(const std::shared_ptr<Constraint>&)> constraint;
    };

    struct Outlet {
        const std::type_info* type { nullptr };
        OutletRequirement requirement { OutletRequirement::Required };
        Binders binders;
        bool connected { false };
    };

    template<class T, class Store> static Binders binder(Store store)
    {
        static_assert(std::is_base_of_v<View, T> || std::is_same_v<T, Constraint>,
            "an outlet holds a view or a constraint");
        Binders binders;
        if constexpr (std::is_same_v<T, Constraint>) {
            binders.constraint = [store](const std::shared_ptr<Constraint>& value) {
                store(value);
                return true;
            };
        } else {
            binders.view = [store](const std::shared_ptr<View>& value) {
                auto typed = std::dynamic_pointer_cast<T>(value);
                if (value && !typed)
                    return false;
                store(typed);
                return true;
            };
        }
        return binders;
    }

    void addOutlet(
        const std::string& name, const std::type_info& type, OutletRequirement requirement, Binders binders);

    std::map<std::string, Outlet> m_outlets;
    std::map<std::string, Action> m_actions;
    std::shared_ptr<const char> m_lifetime;
};

}
