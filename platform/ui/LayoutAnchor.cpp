#include "platform/ui/LayoutAnchor.h"

namespace platform::ui {

namespace {

LayoutAttribute checked(LayoutAttribute attribute, bool wanted, const char* kind)
{
    if (!wanted)
        throw LayoutError(std::string(Constraint::attributeName(attribute)) + " is not " + kind);
    return attribute;
}

}

LayoutXAxisAnchor::LayoutXAxisAnchor(std::shared_ptr<View> view, LayoutAttribute attribute)
    : LayoutAnchor(std::move(view),
        checked(attribute, Constraint::isHorizontal(attribute) && !Constraint::isSize(attribute),
            "a horizontal position"))
{
}

LayoutYAxisAnchor::LayoutYAxisAnchor(std::shared_ptr<View> view, LayoutAttribute attribute)
    : LayoutAnchor(std::move(view),
        checked(attribute,
            attribute == LayoutAttribute::Top || attribute == LayoutAttribute::Bottom
                || attribute == LayoutAttribute::CenterY,
            "a vertical position"))
{
}

LayoutDimension::LayoutDimension(std::shared_ptr<View> view, LayoutAttribute attribute)
    : LayoutAnchor(std::move(view), checked(attribute, Constraint::isSize(attribute), "a size"))
{
}

std::shared_ptr<Constraint> LayoutDimension::constraintEqualToConstant(double constant) const
{
    return Constraint::create(view(), attribute(), LayoutRelation::Equal, constant);
}

std::shared_ptr<Constraint> LayoutDimension::constraintGreaterThanOrEqualToConstant(double constant) const
{
    return Constraint::create(view(), attribute(), LayoutRelation::GreaterThanOrEqual, constant);
}

std::shared_ptr<Constraint> LayoutDimension::constraintLessThanOrEqualToConstant(double constant) const
{
    return Constraint::create(view(), attribute(), LayoutRelation::LessThanOrEqual, constant);
}

LayoutXAxisAnchor leadingAnchor(const std::shared_ptr<View>& view)
{
    return { view, LayoutAttribute::Leading };
}

LayoutXAxisAnchor trailingAnchor(const std::shared_ptr<View>& view)
{
    return { view, LayoutAttribute::Trailing };
}

LayoutXAxisAnchor leftAnchor(const std::shared_ptr<View>& view)
{
    return { view, LayoutAttribute::Left };
}

LayoutXAxisAnchor rightAnchor(const std::shared_ptr<View>& view)
{
    return { view, LayoutAttribute::Right };
}

LayoutXAxisAnchor centerXAnchor(const std::shared_ptr<View>& view)
{
    return { view, LayoutAttribute::CenterX };
}

LayoutYAxisAnchor topAnchor(const std::shared_ptr<View>& view)
{
    return { view, LayoutAttribute::Top };
}

LayoutYAxisAnchor bottomAnchor(const std::shared_ptr<View>& view)
{
    return { view, LayoutAttribute::Bottom };
}

LayoutYAxisAnchor centerYAnchor(const std::shared_ptr<View>& view)
{
    return { view, LayoutAttribute::CenterY };
}

LayoutDimension widthAnchor(const std::shared_ptr<View>& view)
{
    return { view, LayoutAttribute::Width };
}

LayoutDimension heightAnchor(const std::shared_ptr<View>& view)
{
    return { view, LayoutAttribute::Height };
}

}
