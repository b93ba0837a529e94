#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/NibOwner.h"
#include "platform/ui/NibRegistry.h"

#include <memory>
#include <string>

namespace platform::ui {
class Constraint;
}

namespace zorvik {

/// A control built from the first two top-level views of the nib named after its class, stacked one under
/// the other. It lives only inside other nibs, which give it its designed (collapsed) height and a height
/// constraint: collapsed it shows the first view; expanded, at twice that height, the second one too.
class ExpandingXibView : public platform::ui::Control, public platform::ui::NibOwner {
public:
    /// How long collapsing or expanding takes, in seconds.
    static constexpr double collapseDuration = 0.2;

    /// An empty control, built from its nib by construct(); use fromNib<T>().
    ExpandingXibView();

    /// Makes a T placed in another nib: the nib's frame height becomes the initial height, then the view
    /// builds itself from its own nib.
    template<class T> static std::shared_ptr<platform::ui::View> fromNib(const platform::ui::NibCoder& coder)
    {
        auto view = std::make_shared<T>();
        auto& base = static_cast<ExpandingXibView&>(*view);
        base.setFrame(coder.frame);
        base.m_initialHeight = coder.frame.height();
        base.construct();
        return view;
    }

    std::string className() const override { return "ExpandingXibView"; }

    /// The nib the view is built from: its class name.
    virtual std::string nib() const;

    /// The height the containing nib gave the view: its collapsed height.
    double initialHeight() const { return m_initialHeight; }
    /// The first top-level view of the nib, shown collapsed.
    const std::shared_ptr<platform::ui::View>& view1() const { return m_view1; }
    /// The second top-level view of the nib, uncovered below the first when expanded.
    const std::shared_ptr<platform::ui::View>& view2() const { return m_view2; }

    /// Whether the view's frame is at its initial height (read from the frame every time).
    bool isCollapsed() const;
    /// Collapses to the initial height or expands to twice it, animated over collapseDuration; nothing
    /// happens when the view is already so.
    void setIsCollapsed(bool collapsed);
    /// The view's own height constraint, or null.
    std::shared_ptr<platform::ui::Constraint> heightConstraint() const;

protected:
    /// Loads the nib (which must have two top-level views) and stacks its two views.
    virtual void construct();

private:
    void addView1();
    void addView2();

    double m_initialHeight { 0 };
    std::shared_ptr<platform::ui::View> m_view1;
    std::shared_ptr<platform::ui::View> m_view2;
};

}
