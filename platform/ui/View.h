#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::ui {

class Constraint;
class GestureRecognizer;
class GraphicsContext;
class Window;

/// The two directions in which layout priorities apply.
enum class LayoutAxis { Horizontal, Vertical };

/// A rectangle on screen with ordered subviews, the base of every visible object. Views are always held by
/// std::shared_ptr (create them with std::make_shared); a view keeps its subviews alive and knows its
/// superview weakly. A view is in a window when the root of its tree is a Window.
///
/// A view is also a responder: at most one view per tree (per window) is the first responder, the one
/// that receives typed keys.
class View : public std::enable_shared_from_this<View> {
public:
    /// Entry points the layout engine installs so that views reach the constraint solver without the view
    /// layer depending on it. Either may be empty.
    struct LayoutHooks {
        /// Called just before `view` leaves `formerSuperview`: drops the constraints held by
        /// `formerSuperview` and its ancestors that mention `view` or one of its descendants.
        std::function<void(View& view, View& formerSuperview)> viewWillLeaveSuperview;
        /// Solves the constraints of `view`'s tree and applies the resulting frames.
        std::function<void(View& view)> layout;
    };

    /// Returned by intrinsicContentSize() for a dimension the view has no natural size in.
    static constexpr double noIntrinsicMetric = -1;

    /// A view with the given frame.
    explicit View(Rect frame = Rect::zero());
    virtual ~View();

    View(const View&) = delete;
    View& operator=(const View&) = delete;

    /// The hooks shared by every view; the layout engine fills them in once.
    static LayoutHooks& layoutHooks();

    /// The class name shown in the text dump ("View", "Label", ...).
    virtual std::string className() const;

    // Geometry

    /// The rectangle in the superview's coordinates.
    Rect frame() const { return m_frame; }
    /// Moves and resizes the view; the bounds keep their origin and take the new size.
    virtual void setFrame(const Rect& frame);
    /// The rectangle in the view's own coordinates: the origin is the point shown at the top left.
    Rect bounds() const { return m_bounds; }
    /// Sets the bounds; the frame keeps its centre and takes the new size.
    virtual void setBounds(const Rect& bounds);
    /// The centre of the frame, in the superview's coordinates.
    Point center() const { return m_frame.center(); }
    /// Moves the view so that its frame is centred on the point.
    void setCenter(Point center);

    /// A point in this view's coordinates expressed in `target`'s coordinates (the window's, or the root
    /// view's when there is no window, when `target` is null).
    Point convertPointTo(Point point, const View* target) const;
    /// A point in `source`'s coordinates (the window's when null) expressed in this view's coordinates.
    Point convertPointFrom(Point point, const View* source) const;
    /// A rectangle in this view's coordinates expressed in `target`'s coordinates (window when null).
    Rect convertRectTo(const Rect& rect, const View* target) const;
    /// A rectangle in `source`'s coordinates (window when null) expressed in this view's coordinates.
    Rect convertRectFrom(const Rect& rect, const View* source) const;

    /// The deepest visible, interactive descendant (or this view) that contains the point, given in this
    /// view's coordinates; null when the point is outside or the view takes no touches.
    virtual std::shared_ptr<View> hitTest(Point point);
    /// Whether the point, in this view's coordinates, lies inside the view.
    virtual bool pointInside(Point point) const;

    // The tree

    /// The view that holds this one, or null.
    std::shared_ptr<View> superview() const { return m_superview.lock(); }
    /// The subviews, back to front.
    const std::vector<std::shared_ptr<View>>& subviews() const { return m_subviews; }
    /// The window the view is in, or null; a Window answers itself.
    virtual Window* window() const;
    /// The topmost ancestor (this view when it has no superview).
    View& rootView();
    /// The topmost ancestor (this view when it has no superview).
    const View& rootView() const;
    /// Whether this view is `ancestor` or lies below it.
    bool isDescendantOf(const View& ancestor) const;

    /// Adds the view in front of the other subviews, taking it out of its former superview first.
    /// Overridable so that a view can place children in a content view of its own.
    virtual void addSubview(const std::shared_ptr<View>& view);
    /// Inserts the view at an index in the subviews (clamped to the end).
    void insertSubviewAt(const std::shared_ptr<View>& view, std::size_t index);
    /// Inserts the view just in front of `sibling` (at the front when `sibling` is not a subview).
    void insertSubviewAbove(const std::shared_ptr<View>& view, const View& sibling);
    /// Inserts the view just behind `sibling` (at the front when `sibling` is not a subview).
    void insertSubviewBelow(const std::shared_ptr<View>& view, const View& sibling);
    /// Moves a subview to the front.
    void bringSubviewToFront(const View& view);
    /// Moves a subview to the back.
    virtual void sendSubviewToBack(const View& view);
    /// Takes the view out of its superview, resigning first responder inside it and dropping the
    /// constraints of former ancestors that mention it.
    void removeFromSuperview();

    /// This view or the first descendant (depth first, back to front) with the tag, or null.
    std::shared_ptr<View> viewWithTag(int tag);

    /// Called after the view got a new superview or lost it.
    virtual void didMoveToSuperview() { }
    /// Called after the view (or an ancestor) entered or left a window.
    virtual void didMoveToWindow() { }

    // Appearance

    /// Whether the view (and its subtree) is hidden.
    bool isHidden() const { return m_hidden; }
    /// Hides or shows the view.
    virtual void setHidden(bool hidden);
    /// The opacity between 0 and 1.
    double alpha() const { return m_alpha; }
    /// Sets the opacity (clamped to 0...1).
    virtual void setAlpha(double alpha);
    /// Whether the view and every ancestor are shown and not fully transparent.
    bool isVisible() const;
    /// The fill colour; clear by default.
    const Color& backgroundColor() const { return m_backgroundColor; }
    /// Sets the fill colour.
    virtual void setBackgroundColor(const Color& color);
    /// The tint: the view's own, else its superview's, else the system blue.
    Color tintColor() const;
    /// Sets the view's own tint, or clears it (to inherit) with nothing.
    virtual void setTintColor(const std::optional<Color>& color);
    /// A number to find the view by.
    int tag() const { return m_tag; }
    /// Sets the tag.
    void setTag(int tag) { m_tag = tag; }
    /// Whether the view takes touches (true by default).
    virtual bool isUserInteractionEnabled() const { return m_userInteractionEnabled; }
    /// Lets the view take touches or not.
    virtual void setUserInteractionEnabled(bool enabled) { m_userInteractionEnabled = enabled; }
    /// Whether subviews are clipped to the bounds.
    bool clipsToBounds() const { return m_clipsToBounds; }
    /// Clips subviews to the bounds or not.
    void setClipsToBounds(bool clips) { m_clipsToBounds = clips; }
    /// The scale the view is drawn at about its centre (1 when untransformed); frames are unaffected.
    Size transformScale() const { return m_transformScale; }
    /// Sets the drawing scale.
    virtual void setTransformScale(Size scale);
    /// The radius of the rounded corners.
    double cornerRadius() const { return m_cornerRadius; }
    /// Sets the radius of the rounded corners.
    void setCornerRadius(double radius) { m_cornerRadius = radius; }
    /// The width of the border line.
    double borderWidth() const { return m_borderWidth; }
    /// Sets the width of the border line.
    void setBorderWidth(double width) { m_borderWidth = width; }
    /// The colour of the border line.
    const Color& borderColor() const { return m_borderColor; }
    /// Sets the colour of the border line.
    void setBorderColor(const Color& color) { m_borderColor = color; }
    /// The label read out by accessibility and used to find the view.
    const std::string& accessibilityLabel() const { return m_accessibilityLabel; }
    /// Sets the accessibility label.
    void setAccessibilityLabel(const std::string& label) { m_accessibilityLabel = label; }

    // Layout

    /// The layout constraints this view holds.
    const std::vector<std::shared_ptr<Constraint>>& constraints() const { return m_constraints; }
    /// Holds a constraint (once) and marks the view for layout.
    void addConstraint(const std::shared_ptr<Constraint>& constraint);
    /// Holds several constraints, in order.
    void addConstraints(const std::vector<std::shared_ptr<Constraint>>& constraints);
    /// Drops a constraint this view holds.
    void removeConstraint(const Constraint& constraint);
    /// Drops several constraints.
    void removeConstraints(const std::vector<std::shared_ptr<Constraint>>& constraints);
    /// Whether the view's frame is also governed by its autoresizing (true by default).
    bool translatesAutoresizingMaskIntoConstraints() const { return m_translatesAutoresizing; }
    /// Sets whether the frame is governed by autoresizing.
    void setTranslatesAutoresizingMaskIntoConstraints(bool translates)
    {
        m_translatesAutoresizing = translates;
    }
    /// How strongly the view resists growing beyond its intrinsic size (250 unless set).
    float contentHuggingPriority(LayoutAxis axis) const;
    /// Sets the hugging priority along an axis.
    void setContentHuggingPriority(float priority, LayoutAxis axis);
    /// How strongly the view resists shrinking below its intrinsic size (750 unless set).
    float contentCompressionResistancePriority(LayoutAxis axis) const;
    /// Sets the compression resistance along an axis.
    void setContentCompressionResistancePriority(float priority, LayoutAxis axis);
    /// The natural size of the content; noIntrinsicMetric in a dimension without one.
    virtual Size intrinsicContentSize() const;
    /// Marks the intrinsic size as changed so the next layout pass reads it again.
    void invalidateIntrinsicContentSize();
    /// The size that best fits the content within `size`; the current size unless a subclass knows better.
    virtual Size sizeThatFits(Size size) const;
    /// Resizes the view (keeping its origin) to sizeThatFits its current size.
    void sizeToFit();

    /// Marks the view to be laid out on the next layoutIfNeeded.
    virtual void setNeedsLayout();
    /// Whether the view is marked for layout.
    bool needsLayout() const { return m_needsLayout; }
    /// Solves the constraints of the tree and calls layoutSubviews on every marked view, top down.
    virtual void layoutIfNeeded();
    /// Places the subviews; the base view leaves that to the constraints.
    virtual void layoutSubviews() { }

    // Drawing

    /// Marks the view to be drawn again on the next displayIfNeeded.
    virtual void setNeedsDisplay();
    /// Whether the view is marked to be drawn.
    bool needsDisplay() const { return m_needsDisplay; }
    /// Draws the view into a fresh recording context when marked, in this view and its subtree.
    void displayIfNeeded();
    /// Records the view's own drawing into the context, in the view's coordinates.
    virtual void draw(GraphicsContext& context);
    /// What the last draw recorded, or null when the view was never drawn.
    std::shared_ptr<const GraphicsContext> drawing() const { return m_drawing; }

    // Gestures

    /// Attaches a gesture recogniser, moving it from the view it was attached to.
    void addGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer);
    /// Detaches a gesture recogniser.
    void removeGestureRecognizer(const GestureRecognizer& recognizer);
    /// The attached gesture recognisers, in the order added.
    const std::vector<std::shared_ptr<GestureRecognizer>>& gestureRecognizers() const { return m_gestures; }

    // First responder

    /// Whether the view can take the first responder (false for a plain view).
    virtual bool canBecomeFirstResponder() const { return false; }
    /// Whether the view lets the first responder go (true for a plain view).
    virtual bool canResignFirstResponder() { return true; }
    /// Whether the view is where a first responder can be: in a window, and neither it nor an ancestor
    /// hidden.
    bool canHoldFirstResponder() const;
    /// Makes the view the first responder of its window (one per window), asking the current one to
    /// resign first. A view that cannot take it, or cannot hold it (see above), stays as it is. Returns
    /// whether the view is the first responder afterwards.
    virtual bool becomeFirstResponder();
    /// Gives up the first responder; returns false when the view refuses.
    virtual bool resignFirstResponder();
    /// Whether the view is the first responder of its tree.
    bool isFirstResponder() const;
    /// The first responder of the view's tree, or null.
    std::shared_ptr<View> currentFirstResponder() const;
    /// Makes the first responder inside this view's subtree resign; with `force` it cannot refuse.
    /// Returns whether no first responder is left in the subtree.
    bool endEditing(bool force);
    /// Whether the view brings up the keyboard while it is the first responder.
    virtual bool showsKeyboard() const { return false; }
    /// The view shown above the keyboard while this view is the first responder, or null.
    virtual std::shared_ptr<View> inputAccessoryView() const { return nullptr; }

    // The text dump

    /// One line about this view: class, frame and what it shows.
    virtual std::string describe() const;
    /// The subtree as indented text, two spaces a level: describe() of each view, then "[hidden]" for a
    /// hidden view and "[alpha 0.4]" for a translucent one. With `includeHidden` false hidden views are left
    /// out with their subviews.
    std::string textDump(bool includeHidden = true) const;

protected:
    /// Called after the view became the first responder, before the keyboard is updated.
    virtual void didBecomeFirstResponder() { }
    /// Called after the view stopped being the first responder, before the keyboard is updated.
    virtual void didResignFirstResponder() { }

private:
    void insertSubviewAtIndex(const std::shared_ptr<View>& view, std::size_t index);
    /// Inserts the view just in front of (`above`) or just behind `sibling`, at the front when `sibling` is
    /// not a subview.
    void insertSubviewNextTo(const std::shared_ptr<View>& view, const View& sibling, bool above);
    void detachFromSuperview();
    void notifyMovedToWindow();
    void layoutMarkedViews();
    void finishResigning();
    void appendDump(std::string& out, int depth, bool includeHidden) const;
    Point pointToRoot(Point point) const;
    Point pointFromRoot(Point point) const;

    Rect m_frame;
    Rect m_bounds;
    std::vector<std::shared_ptr<View>> m_subviews;
    std::weak_ptr<View> m_superview;
    std::vector<std::shared_ptr<Constraint>> m_constraints;
    std::vector<std::shared_ptr<GestureRecognizer>> m_gestures;
    std::shared_ptr<const GraphicsContext> m_drawing;
    std::weak_ptr<View> m_firstResponder;
    bool m_handingOverFirstResponder { false };

    bool m_hidden { false };
    double m_alpha { 1 };
    Color m_backgroundColor { Color::clear() };
    std::optional<Color> m_tintColor;
    int m_tag { 0 };
    bool m_userInteractionEnabled { true };
    bool m_clipsToBounds { false };
    Size m_transformScale { 1, 1 };
    double m_cornerRadius { 0 };
    double m_borderWidth { 0 };
    Color m_borderColor { Color::black() };
    std::string m_accessibilityLabel;

    bool m_translatesAutoresizing { true };
    float m_huggingPriority[2] { 250, 250 };
    float m_compressionPriority[2] { 750, 750 };
    bool m_needsLayout { true };
    bool m_needsDisplay { true };
};

}
