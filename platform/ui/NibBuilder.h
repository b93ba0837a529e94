#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/NibOwner.h"
#include "platform/ui/NibRegistry.h"
#include "platform/ui/VisualFormat.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::foundation {
class Value;
}

namespace platform::ui {

class Constraint;

/// What a nib's builder function works with while the nib loads: it collects the top-level views and binds
/// outlets, actions and attributes, reporting every mistake as a NibError that names the nib.
class NibBuilder {
public:
    /// A builder for the nib `name` loaded for `owner` (may be null).
    NibBuilder(std::string name, NibOwner* owner);

    /// The nib's name (the variant's, "PinView4", when one was picked).
    const std::string& name() const { return m_name; }
    /// The owner the nib binds to, or null.
    NibOwner* owner() const { return m_owner; }

    /// Adds a top-level view; the nib's top-level views come back in the order added. Returns the view.
    template<class T> std::shared_ptr<T> topLevel(std::shared_ptr<T> view)
    {
        m_topLevel.push_back(view);
        return view;
    }
    /// The top-level views so far.
    const std::vector<std::shared_ptr<View>>& topLevelViews() const { return m_topLevel; }

    /// A view of a registered custom class (a module-qualified name such as "qz.XibView" finds the plain
    /// class), decoded with `frame`: the class builds itself and loads its own nib where it has one.
    std::shared_ptr<View> custom(const std::string& className, Rect frame);
    /// As custom(), checked to be a T.
    template<class T> std::shared_ptr<T> custom(const std::string& className, Rect frame)
    {
        auto view = custom(className, frame);
        auto typed = std::dynamic_pointer_cast<T>(view);
        if (!typed)
            failWrongClass(className, *view);
        return typed;
    }

    /// Connects the owner's outlet `name` to a view.
    void outlet(const std::string& name, const std::shared_ptr<View>& view);
    /// Connects the owner's outlet `name` to a constraint.
    void outlet(const std::string& name, const std::shared_ptr<Constraint>& constraint);
    /// Connects an outlet of another object of the nib (a custom view that declares outlets) to a view.
    void outlet(NibOwner& target, const std::string& name, const std::shared_ptr<View>& view);

    /// The owner's action `name`, guarded to run only while the owner lives. Throws NibError when the nib
    /// has no owner or the owner declares no such action.
    NibOwner::Action action(const std::string& name) const;
    /// Makes the control send `events` to the owner's action `name` (the owner is held weakly).
    void connectAction(Control& control, ControlEvent events, const std::string& name);

    /// Makes the constraints of a visual format and installs them on `holder`. As a layout designer does,
    /// it clears the autoresizing translation of every view the constraints place, except `holder` itself.
    std::vector<std::shared_ptr<Constraint>> constrain(const std::shared_ptr<View>& holder,
        std::string_view format, const VisualFormat::Views& views, const VisualFormat::Metrics& metrics = {});
    /// Installs ready-made constraints (from anchors, say) on `holder`, clearing flags as above.
    void constrain(
        const std::shared_ptr<View>& holder, const std::vector<std::shared_ptr<Constraint>>& constraints);

    /// Sets a user-defined runtime attribute. Every view knows "alpha", "hidden", "tag",
    /// "accessibilityLabel", "userInteractionEnabled", "clipsToBounds", "layer.masksToBounds",
    /// "layer.cornerRadius", "layer.borderWidth", and the colours "backgroundColor", "tintColor" and
    /// "layer.borderColor" (as "#RRGGBB" text); a NibAttributeTarget gets the first say. An unknown key path
    /// or a value of the wrong kind throws NibError.
    void attribute(View& view, const std::string& keyPath, const foundation::Value& value);

    /// Throws NibError with the message prefixed by the nib's name.
    [[noreturn]] void fail(const std::string& message) const;

private:
    [[noreturn]] void failWrongClass(const std::string& className, const View& view) const;
    void connect(
        NibOwner& target, const std::string& name, NibOwner::Connection result, const std::string& given);

    std::string m_name;
    NibOwner* m_owner { nullptr };
    std::vector<std::shared_ptr<View>> m_topLevel;
};

}
