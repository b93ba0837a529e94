#include "Zorvik/Views/XibViews/XibView.h"

#include "platform/foundation/Text.h"
#include "platform/ui/VisualFormat.h"

namespace zorvik {

using platform::ui::View;

XibView::XibView() = default;

std::string XibView::runtimeClassName() const
{
    return std::string(moduleName) + "." + className();
}

std::string XibView::nib() const
{
    return nibFromClass(runtimeClassName());
}

std::string XibView::nibFromClass(std::string_view runtimeName)
{
    auto first = runtimeName.find('.');
    if (first == std::string_view::npos)
        return std::string(runtimeName);
    auto rest = runtimeName.substr(first + 1);
    return std::string(rest.substr(0, rest.find('.')));
}

bool XibView::hasSmallIPhoneSpecificLayout(const std::vector<std::shared_ptr<View>>& topLevel)
{
    return topLevel.size() > 1;
}

bool XibView::shouldLoadShortIPhoneViewForNib(const std::string&) const
{
    return false;
}

bool XibView::shouldSetInitialSize() const
{
    return true;
}

void XibView::construct()
{
    setContentViewFromNib(nib());
    if (shouldSetInitialSize())
        setInitialSize(m_contentView->frame().size);
    setBackgroundColor(platform::ui::Color::clear());
}

void XibView::setInitialSize(platform::ui::Size size)
{
    setFrame({ frame().origin, size });
}

bool XibView::isSmallIPhone()
{
    return platform::ui::Screen::main().bounds().height() == 480.0;
}

std::shared_ptr<View> XibView::loadNib(const std::string& name)
{
    std::string resolved = isSmallIPhone() && shouldLoadShortIPhoneViewForNib(name) ? name + "4" : name;
    return platform::ui::NibRegistry::load(resolved, this).front();
}

void XibView::setContentViewFromNib(const std::string& name)
{
    m_contentView = loadNib(name);
    View::addSubview(m_contentView);
    constrainViewToMatchParent(m_contentView, shared_from_this());
}

void XibView::setContentViewFromNib(const std::string& name, const std::shared_ptr<View>& parent)
{
    m_contentView = loadNib(name);
    parent->addSubview(m_contentView);
    constrainViewToMatchParent(m_contentView, parent);
}

void XibView::addContentiewFromNib(const std::string& name)
{
    auto view = loadNib(name);
    View::addSubview(view);
    constrainViewToMatchParent(view, shared_from_this());
}

void XibView::constrainViewToMatchParent(
    const std::shared_ptr<View>& view, const std::shared_ptr<View>& parent)
{
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    platform::ui::VisualFormat::Views views { { "subview", view } };
    for (const char* axis : { "H", "V" }) {
        auto format = platform::foundation::stringWithFormat("%s:|-0-[%s]-0-|", axis, "subview");
        parent->addConstraints(platform::ui::VisualFormat::constraints(format, views));
    }
}

void XibView::addSubview(const std::shared_ptr<View>& view)
{
    if (m_contentView)
        m_contentView->addSubview(view);
}

void XibView::sendSubviewToBack(const View& view)
{
    if (m_contentView)
        m_contentView->sendSubviewToBack(view);
}

}
