#include "Zorvik/Views/XibViews/XibViewObjcmb.h"

#include "Zorvik/Views/Constraints/MatchParentConstraints.h"
#include "platform/ui/Screen.h"

namespace zorvik {

using platform::ui::View;

XibViewObjcmb::XibViewObjcmb() = default;

std::string XibViewObjcmb::nib() const
{
    return nibFromClass(className());
}

std::string XibViewObjcmb::nibFromClass(std::string_view className)
{
    return std::string(className);
}

bool XibViewObjcmb::isSmallIPhone()
{
    return platform::ui::Screen::main().bounds().height() == 480.0;
}

bool XibViewObjcmb::shouldLoadShortIPhoneViewForNib(const std::string&) const
{
    return false;
}

bool XibViewObjcmb::shouldSetInitialSize() const
{
    return true;
}

void XibViewObjcmb::setInitialSize(platform::ui::Size size)
{
    setFrame({ frame().origin, size });
}

void XibViewObjcmb::construct()
{
    setContentViewFromNib(nib());
    if (shouldSetInitialSize())
        setInitialSize(m_contentView->frame().size);
    setBackgroundColor(platform::ui::Color::clear());
}

void XibViewObjcmb::setContentViewFromNib(const std::string& name)
{
    m_contentView = loadNib(name);
    View::addSubview(m_contentView);
    constrainViewToMatchParent(m_contentView, shared_from_this());
}

std::shared_ptr<View> XibViewObjcmb::loadNib(const std::string& name)
{
    std::string resolved = isSmallIPhone() && shouldLoadShortIPhoneViewForNib(name) ? name + "4" : name;
    return platform::ui::NibRegistry::load(resolved, this).front();
}

void XibViewObjcmb::constrainViewToMatchParent(
    const std::shared_ptr<View>& view, const std::shared_ptr<View>& parent)
{
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    platform::ui::VisualFormat::Views views { { MatchParentConstraints::defaultSubviewName(), view } };
    parent->addConstraints(
        MatchParentConstraints::horizontalConstraint(views, MatchParentConstraints::defaultSubviewName()));
    parent->addConstraints(
        MatchParentConstraints::verticalConstraint(views, MatchParentConstraints::defaultSubviewName()));
}

void XibViewObjcmb::addSubview(const std::shared_ptr<View>& view)
{
    if (m_contentView)
        m_contentView->addSubview(view);
}

void XibViewObjcmb::sendSubviewToBack(const View& view)
{
    if (m_contentView)
        m_contentView->sendSubviewToBack(view);
}

}
