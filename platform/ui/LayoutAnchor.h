#pragma once

#include "platform/ui/Constraint.h"

#include <memory>

namespace platform::ui {

class View;

/// One attribute of one view, from which constraints against a like attribute are made. The three kinds
/// (horizontal positions, vertical positions, sizes) are distinct types, so that only like attributes can
/// be related. The constraints are made, not activated: pass them to Constraint::activate or a view's
/// addConstraint.
template<class Kind> class LayoutAnchor {
public:
    /// The anchor's view.
    const std::shared_ptr<View>& view() const { return m_view; }
    /// The anchor's attribute.
    LayoutAttribute attribute() const { return m_attribute; }

    /// this == other + constant.
    std::shared_ptr<Constraint> constraintEqualTo(const Kind& other, double constant = 0) const
    {
        return make(LayoutRelation::Equal, other, 1, constant);
    }
    /// this >= other + constant.
    std::shared_ptr<Constraint> constraintGreaterThanOrEqualTo(const Kind& other, double constant = 0) const
    {
        return make(LayoutRelation::GreaterThanOrEqual, other, 1, constant);
    }
    /// this <= other + constant.
    std::shared_ptr<Constraint> constraintLessThanOrEqualTo(const Kind& other, double constant = 0) const
    {
        return make(LayoutRelation::LessThanOrEqual, other, 1, constant);
    }

protected:
    LayoutAnchor(std::shared_ptr<View> view, LayoutAttribute attribute)
        : m_view(std::move(view))
        , m_attribute(attribute)
    {
    }

    std::shared_ptr<Constraint> make(
        LayoutRelation relation, const Kind& other, double multiplier, double constant) const
    {
        return Constraint::create(
            m_view, m_attribute, relation, other.view(), other.attribute(), multiplier, constant);
    }

private:
    std::shared_ptr<View> m_view;
    LayoutAttribute m_attribute { LayoutAttribute::NotAnAttribute };
};

/// A horizontal position: leading, trailing, left, right or centre x.
class LayoutXAxisAnchor : public LayoutAnchor<LayoutXAxisAnchor> {
public:
    /// The attribute of the view; throws LayoutError for one that is not a horizontal position.
    LayoutXAxisAnchor(std::shared_ptr<View> view, LayoutAttribute attribute);
};

/// A vertical position: top, bottom or centre y.
class LayoutYAxisAnchor : public LayoutAnchor<LayoutYAxisAnchor> {
public:
    /// The attribute of the view; throws LayoutError for one that is not a vertical position.
    LayoutYAxisAnchor(std::shared_ptr<View> view, LayoutAttribute attribute);
};

/// A size: width or height.
class LayoutDimension : public LayoutAnchor<LayoutDimension> {
public:
    /// The attribute of the view; throws LayoutError for one that is not a width or height.
    LayoutDimension(std::shared_ptr<View> view, LayoutAttribute attribute);

    /// this == other × multiplier + constant.
    std::shared_ptr<Constraint> constraintEqualTo(
        const LayoutDimension& other, double multiplier, double constant) const
    {
        return make(LayoutRelation::Equal, other, multiplier, constant);
    }
    using LayoutAnchor::constraintEqualTo;

    /// this == constant.
    std::shared_ptr<Constraint> constraintEqualToConstant(double constant) const;
    /// this >= constant.
    std::shared_ptr<Constraint> constraintGreaterThanOrEqualToConstant(double constant) const;
    /// this <= constant.
    std::shared_ptr<Constraint> constraintLessThanOrEqualToConstant(double constant) const;
};

/// The view's leading edge.
LayoutXAxisAnchor leadingAnchor(const std::shared_ptr<View>& view);
/// The view's trailing edge.
LayoutXAxisAnchor trailingAnchor(const std::shared_ptr<View>& view);
/// The view's left edge.
LayoutXAxisAnchor leftAnchor(const std::shared_ptr<View>& view);
/// The view's right edge.
LayoutXAxisAnchor rightAnchor(const std::shared_ptr<View>& view);
/// The view's horizontal centre.
LayoutXAxisAnchor centerXAnchor(const std::shared_ptr<View>& view);
/// The view's top edge.
LayoutYAxisAnchor topAnchor(const std::shared_ptr<View>& view);
/// The view's bottom edge.
LayoutYAxisAnchor bottomAnchor(const std::shared_ptr<View>& view);
/// The view's vertical centre.
LayoutYAxisAnchor centerYAnchor(const std::shared_ptr<View>& view);
/// The view's width.
LayoutDimension widthAnchor(const std::shared_ptr<View>& view);
/// The view's height.
LayoutDimension heightAnchor(const std::shared_ptr<View>& view);

}
