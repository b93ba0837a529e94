#include "Zorvik/Views/XibViews/ExpandingXibView.h"

#include "Zorvik/Views/Categories/ViewConstraints.h"
#include "Zorvik/Views/Constraints/MatchParentConstraints.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Constraint.h"

namespace zorvik {

ExpandingXibView::ExpandingXibView() = default;

std::string ExpandingXibView::nib() const
{
    return className();
}

void ExpandingXibView::construct()
{
    auto views = platform::ui::NibRegistry::load(nib(), this);
    if (views.size() < 2)
        throw platform::ui::NibError("Nib '" + nib() + "' needs two top-level views for " + className());
    m_view1 = views[0];
    m_view2 = views[1];
    addView1();
    addView2();
}

void ExpandingXibView::addView1()
{
    auto self = shared_from_this();
    addSubview(m_view1);
    MatchParentConstraints::constrainChildToMatchParentWidth(m_view1, self);
    MatchParentConstraints::anchorChildToTopOfParent(m_view1, self);
    MatchParentConstraints::fixViewHeight(m_view1);
}

void ExpandingXibView::addView2()
{
    auto self = shared_from_this();
    addSubview(m_view2);
    MatchParentConstraints::constrainChildToMatchParentWidth(m_view2, self);
    MatchParentConstraints::anchorChildToTopOfView(m_view1, m_view2, self);
    MatchParentConstraints::fixViewHeight(m_view2);
}

bool ExpandingXibView::isCollapsed() const
{
    return frame().height() == m_initialHeight;
}

void ExpandingXibView::setIsCollapsed(bool collapsed)
{
    if (collapsed == isCollapsed())
        return;
    if (auto constraint = heightConstraint())
        constraint->setConstant(collapsed ? m_initialHeight : 2.0 * m_initialHeight);
    auto superview = this->superview();
    platform::ui::Animation::animate(collapseDuration, [superview] {
        if (superview)
            superview->layoutIfNeeded();
    });
}

std::shared_ptr<platform::ui::Constraint> ExpandingXibView::heightConstraint() const
{
    return ViewConstraints::heightConstraint(*this);
}

}
