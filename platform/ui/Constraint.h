#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform::ui {

class View;

/// The edge, size or centre of a view that a constraint speaks about. The numbers are the platform's.
enum class LayoutAttribute {
    NotAnAttribute = 0,
    Left = 1,
    Right = 2,
    Top = 3,
    Bottom = 4,
    Leading = 5,
    Trailing = 6,
    Width = 7,
    Height = 8,
    CenterX = 9,
    CenterY = 10,
};

/// How the two sides of a constraint compare.
enum class LayoutRelation { LessThanOrEqual = -1, Equal = 0, GreaterThanOrEqual = 1 };

/// The usual priorities; anything below `required` may be broken to satisfy stronger constraints.
struct LayoutPriority {
    static constexpr float required = 1000;
    static constexpr float defaultHigh = 750;
    static constexpr float defaultLow = 250;
    static constexpr float fittingSizeLevel = 50;
};

/// A programming error in layout: a visual format that does not parse or names an unknown view, a
/// constraint between views of different trees, or constraints that cannot all hold (unsatisfiable) or
/// do not fix every frame (ambiguous). The message names the views and constraints concerned.
class LayoutError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

/// One linear relation between two view attributes:
///     first.firstAttribute  (relation)  second.secondAttribute × multiplier + constant
/// A size constraint has no second item. The constraint holds its items weakly; it is active while a
/// view (its owner, a common ancestor of its items) holds it through View::addConstraint.
class Constraint : public std::enable_shared_from_this<Constraint> {
public:
    /// A constraint relating two views' attributes.
    static std::shared_ptr<Constraint> create(const std::shared_ptr<View>& firstItem,
        LayoutAttribute firstAttribute, LayoutRelation relation, const std::shared_ptr<View>& secondItem,
        LayoutAttribute secondAttribute, double multiplier = 1, double constant = 0);
    /// A constraint of one attribute against a constant (a fixed width or height).
    static std::shared_ptr<Constraint> create(const std::shared_ptr<View>& item, LayoutAttribute attribute,
        LayoutRelation relation, double constant);

    /// The constrained view, or null once it is gone.
    std::shared_ptr<View> firstItem() const { return m_firstItem.lock(); }
    /// The constrained attribute of the first item.
    LayoutAttribute firstAttribute() const { return m_firstAttribute; }
    /// How the sides compare.
    LayoutRelation relation() const { return m_relation; }
    /// The view compared against, or null for a constraint against a constant.
    std::shared_ptr<View> secondItem() const { return m_secondItem.lock(); }
    /// The attribute of the second item (NotAnAttribute when there is none).
    LayoutAttribute secondAttribute() const { return m_secondAttribute; }
    /// Whether the constraint was made with a second item.
    bool hasSecondItem() const { return m_hasSecondItem; }
    /// The factor applied to the second attribute.
    double multiplier() const { return m_multiplier; }

    /// The added constant.
    double constant() const { return m_constant; }
    /// Changes the constant and marks the owner for layout. Inside an animation block the change is
    /// animated: the constraint's presentation constant moves from the old value to the new one.
    void setConstant(double constant);

    /// The priority, from 1 to 1000 (required).
    float priority() const { return m_priority; }
    /// Sets the priority (clamped to 1...1000) and marks the owner for layout.
    void setPriority(float priority);
    /// Whether the constraint must hold (priority 1000).
    bool isRequired() const { return m_priority >= LayoutPriority::required; }

    /// A name for the constraint, shown in descriptions and error messages.
    const std::string& identifier() const { return m_identifier; }
    /// Names the constraint.
    void setIdentifier(std::string identifier) { m_identifier = std::move(identifier); }

    /// The view holding the constraint (the one it was added to), or null when inactive.
    std::shared_ptr<View> owner() const;
    /// Whether a view holds the constraint.
    bool isActive() const { return owner() != nullptr; }
    /// Activating adds the constraint to the nearest common ancestor of its items (throws LayoutError when
    /// they are in different trees); deactivating removes it from its owner.
    void setActive(bool active);
    /// Activates each constraint in turn.
    static void activate(const std::vector<std::shared_ptr<Constraint>>& constraints);
    /// Deactivates each constraint in turn.
    static void deactivate(const std::vector<std::shared_ptr<Constraint>>& constraints);

    /// Whether the constraint mentions the view as either item.
    bool mentions(const View& view) const;

    /// A readable form, such as "Label 'Title'.leading == View.leading + 8 @750 (title-left)".
    std::string description() const;

    /// A short readable name for a view in layout messages: its class, then its accessibility label and
    /// tag when it has them.
    static std::string describeView(const View* view);

    /// The readable name of an attribute ("leading", "centerX", ...).
    static const char* attributeName(LayoutAttribute attribute);

    /// Whether the attribute lies on the horizontal axis (left, right, leading, trailing, width, centerX).
    static bool isHorizontal(LayoutAttribute attribute);

    /// Whether the attribute is a size (width or height) rather than a position.
    static bool isSize(LayoutAttribute attribute);

private:
    Constraint() = default;

    std::weak_ptr<View> m_firstItem;
    LayoutAttribute m_firstAttribute { LayoutAttribute::NotAnAttribute };
    LayoutRelation m_relation { LayoutRelation::Equal };
    std::weak_ptr<View> m_secondItem;
    LayoutAttribute m_secondAttribute { LayoutAttribute::NotAnAttribute };
    bool m_hasSecondItem { false };
    double m_multiplier { 1 };
    double m_constant { 0 };
    float m_priority { LayoutPriority::required };
    std::string m_identifier;
};

}
