#include "platform/ui/NibBuilder.h"

#include "platform/foundation/Value.h"
#include "platform/ui/Constraint.h"
#include "platform/ui/NibAttributeTarget.h"
#include "platform/ui/View.h"

#include <functional>
#include <map>
#include <optional>

namespace platform::ui {

namespace {

using foundation::Value;

std::optional<Color> colorFrom(const Value& value)
{
    if (const std::string* text = value.string())
        return Color::fromHexString(*text);
    return std::nullopt;
}

// Applies a built-in attribute; false when the key path is unknown or the value of the wrong kind.
bool setBuiltInAttribute(View& view, const std::string& keyPath, const Value& value)
{
    using Setter = std::function<bool(View&, const Value&)>;
    auto number = [](void (*apply)(View&, double)) -> Setter {
        return [apply](View& v, const Value& value) {
            auto n = value.number();
            if (n)
                apply(v, *n);
            return n.has_value();
        };
    };
    auto flag = [](void (*apply)(View&, bool)) -> Setter {
        return [apply](View& v, const Value& value) {
            auto b = value.boolean();
            if (b)
                apply(v, *b);
            return b.has_value();
        };
    };
    auto color = [](void (*apply)(View&, const Color&)) -> Setter {
        return [apply](View& v, const Value& value) {
            auto c = colorFrom(value);
            if (c)
                apply(v, *c);
            return c.has_value();
        };
    };
    static const std::map<std::string, Setter> setters {
        { "alpha", number([](View& v, double n) { v.setAlpha(n); }) },
        { "layer.cornerRadius", number([](View& v, double n) { v.setCornerRadius(n); }) },
        { "layer.borderWidth", number([](View& v, double n) { v.setBorderWidth(n); }) },
        { "hidden", flag([](View& v, bool b) { v.setHidden(b); }) },
        { "userInteractionEnabled", flag([](View& v, bool b) { v.setUserInteractionEnabled(b); }) },
        { "clipsToBounds", flag([](View& v, bool b) { v.setClipsToBounds(b); }) },
        { "layer.masksToBounds", flag([](View& v, bool b) { v.setClipsToBounds(b); }) },
        { "backgroundColor", color([](View& v, const Color& c) { v.setBackgroundColor(c); }) },
        { "tintColor", color([](View& v, const Color& c) { v.setTintColor(c); }) },
        { "layer.borderColor", color([](View& v, const Color& c) { v.setBorderColor(c); }) },
        { "tag",
            [](View& v, const Value& value) {
                auto n = value.integer();
                if (n)
                    v.setTag(int(*n));
                return n.has_value();
            } },
        { "accessibilityLabel",
            [](View& v, const Value& value) {
                const std::string* text = value.string();
                if (text)
                    v.setAccessibilityLabel(*text);
                return text != nullptr;
            } },
    };
    auto found = setters.find(keyPath);
    return found != setters.end() && found->second(view, value);
}

}

NibBuilder::NibBuilder(std::string name, NibOwner* owner)
    : m_name(std::move(name))
    , m_owner(owner)
{
}

std::shared_ptr<View> NibBuilder::custom(const std::string& className, Rect frame)
{
    if (!NibRegistry::hasClass(className))
        fail("places the custom class '" + className + "', which is not registered");
    return NibRegistry::instantiate(className, NibCoder { frame });
}

void NibBuilder::outlet(const std::string& name, const std::shared_ptr<View>& view)
{
    if (!m_owner)
        fail("connects outlet '" + name + "' but was loaded without an owner");
    connect(*m_owner, name, m_owner->connectOutlet(name, view), view ? view->className() : "nothing");
}

void NibBuilder::outlet(const std::string& name, const std::shared_ptr<Constraint>& constraint)
{
    if (!m_owner)
        fail("connects outlet '" + name + "' but was loaded without an owner");
    connect(*m_owner, name, m_owner->connectOutlet(name, constraint), "a constraint");
}

void NibBuilder::outlet(NibOwner& target, const std::string& name, const std::shared_ptr<View>& view)
{
    connect(target, name, target.connectOutlet(name, view), view ? view->className() : "nothing");
}

void NibBuilder::connect(
    NibOwner& target, const std::string& name, NibOwner::Connection result, const std::string& given)
{
    switch (result) {
    case NibOwner::Connection::Connected:
        return;
    case NibOwner::Connection::NoSuchOutlet:
        fail("connects outlet '" + name + "', which " + target.nibOwnerName() + " does not declare");
    case NibOwner::Connection::WrongType:
        fail("connects outlet '" + name + "' of " + target.nibOwnerName() + ", which takes "
            + target.outletTypeName(name) + ", to " + given);
    }
}

NibOwner::Action NibBuilder::action(const std::string& name) const
{
    if (!m_owner)
        fail("connects action '" + name + "' but was loaded without an owner");
    auto handler = m_owner->action(name);
    if (!handler)
        fail("connects action '" + name + "', which " + m_owner->nibOwnerName() + " does not declare");
    return handler;
}

void NibBuilder::connectAction(Control& control, ControlEvent events, const std::string& name)
{
    auto handler = action(name);
    control.addTarget(m_owner->lifetime(), events, [handler](Control& sender) { handler(sender); });
}

std::vector<std::shared_ptr<Constraint>> NibBuilder::constrain(const std::shared_ptr<View>& holder,
    std::string_view format, const VisualFormat::Views& views, const VisualFormat::Metrics& metrics)
{
    std::vector<std::shared_ptr<Constraint>> constraints;
    try {
        constraints = VisualFormat::constraints(format, views, metrics);
    } catch (const LayoutError& error) {
        fail(error.what());
    }
    constrain(holder, constraints);
    return constraints;
}

void NibBuilder::constrain(
    const std::shared_ptr<View>& holder, const std::vector<std::shared_ptr<Constraint>>& constraints)
{
    for (const auto& constraint : constraints) {
        for (const auto& item : { constraint->firstItem(), constraint->secondItem() }) {
            if (item && item != holder)
                item->setTranslatesAutoresizingMaskIntoConstraints(false);
        }
    }
    holder->addConstraints(constraints);
}

void NibBuilder::attribute(View& view, const std::string& keyPath, const Value& value)
{
    if (auto* target = dynamic_cast<NibAttributeTarget*>(&view);
        target && target->setNibAttribute(keyPath, value))
        return;
    if (!setBuiltInAttribute(view, keyPath, value))
        fail("sets the attribute '" + keyPath + "' on " + view.className()
            + ", which it does not know or not with a value of that kind");
}

void NibBuilder::fail(const std::string& message) const
{
    throw NibError("Nib '" + m_name + "' " + message);
}

void NibBuilder::failWrongClass(const std::string& className, const View& view) const
{
    fail("expects the class '" + className + "' to make a different type of view than " + view.className());
}

}
