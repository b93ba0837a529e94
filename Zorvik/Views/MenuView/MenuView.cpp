#include "Zorvik/Views/MenuView/MenuView.h"

#include "Zorvik/Views/Categories/ViewConstraints.h"
#include "Zorvik/Views/Constraints/MatchParentConstraints.h"
#include "Zorvik/Views/MenuView/MenuItem.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Constraint.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/Screen.h"

#include <mutex>

namespace zorvik {

using platform::ui::Animation;
using platform::ui::Button;
using platform::ui::Color;
using platform::ui::ControlEvent;
using platform::ui::Label;
using platform::ui::NibBuilder;
using platform::ui::Rect;
using platform::ui::View;

MenuView::MenuView()
{
    declareOutlet("shadowView", m_shadowView);
    declareOutlet("menuView", m_menuView);
    declareOutlet("closeButton", m_closeButton);
    declareAction("closePressed", [this](View&) { closePressed(); });
}

std::shared_ptr<MenuView> MenuView::make(std::vector<std::shared_ptr<MenuItem>> menuItems)
{
    auto menu = create<MenuView>();
    menu->m_menuItems = std::move(menuItems);
    return menu;
}

void MenuView::showInView(const std::shared_ptr<View>& parent)
{
    parent->endEditing(true);
    auto self = shared_from_this();
    parent->addSubview(self);
    MatchParentConstraints::constrainChildToMatchParent(self, parent);
    double parentHeight = parent->frame().height();
    auto shadeHeight = ViewConstraints::heightConstraint(*m_shadowView);
    shadeHeight->setConstant(parentHeight);
    parent->layoutIfNeeded();
    calculateAndSetHeightOfMenu();
    addMenuItems();
    Animation::animate(animationDuration, [this, parent, shadeHeight, parentHeight] {
        m_shadowView->setAlpha(shadeAlpha);
        shadeHeight->setConstant(parentHeight - m_menuView->frame().height());
        parent->layoutIfNeeded();
    });
}

void MenuView::hideView(const std::shared_ptr<View>& parent)
{
    auto shadeHeight = ViewConstraints::heightConstraint(*m_shadowView);
    if (!parent || !shadeHeight)
        return;
    std::weak_ptr<View> weakSelf = weak_from_this();
    Animation::animate(
        animationDuration,
        [this, parent, shadeHeight] {
            m_shadowView->setAlpha(0);
            shadeHeight->setConstant(parent->frame().height());
            parent->layoutIfNeeded();
        },
        [weakSelf](bool) {
            if (auto self = weakSelf.lock())
                self->removeFromSuperview();
        });
}

void MenuView::closePressed()
{
    hideView(superview());
}

void MenuView::calculateAndSetHeightOfMenu()
{
    double height = m_menuView->frame().height();
    if (auto constraint = ViewConstraints::heightConstraint(*m_menuView))
        constraint->setConstant(height * double(m_menuItems.size()) + height);
}

void MenuView::addMenuItems()
{
    std::shared_ptr<MenuItem> above;
    for (const auto& item : m_menuItems) {
        m_menuView->addSubview(item);
        if (above)
            MatchParentConstraints::anchorChildToTopOfView(above, item, m_menuView);
        else
            MatchParentConstraints::anchorChildToTopOfParent(item, m_menuView);
        MatchParentConstraints::constrainChildToMatchParentWidth(item, m_menuView);
        item->addConstraints(MatchParentConstraints::fixedHeightConstraint(item, rowHeight));
        m_menuView->layoutIfNeeded();
        above = item;
    }
}

namespace {

void buildMenuView(NibBuilder& nib)
{
    auto root = nib.topLevel(std::make_shared<View>(platform::ui::Screen::main().bounds()));
    auto shade = std::make_shared<View>();
    shade->setBackgroundColor(Color::black());
    shade->setAlpha(0);
    root->addSubview(shade);
    nib.outlet("shadowView", shade);
    auto panel = std::make_shared<View>();
    panel->setBackgroundColor(Color::white());
    root->addSubview(panel);
    nib.outlet("menuView", panel);
    auto close = std::make_shared<Button>(platform::ui::ButtonType::Custom);
    close->setTitle(std::string("close"), platform::ui::ControlState::Normal);
    close->setTitleColor(Color::fromBytes(0, 188, 203), platform::ui::ControlState::Normal);
    panel->addSubview(close);
    nib.outlet("closeButton", close);
    nib.connectAction(*close, ControlEvent::TouchUpInside, "closePressed");

    platform::ui::VisualFormat::Views views { { "shade", shade }, { "panel", panel }, { "close", close } };
    platform::ui::VisualFormat::Metrics metrics { { "row", MenuView::rowHeight },
        { "screen", platform::ui::Screen::main().bounds().height() } };
    nib.constrain(root, "H:|[shade]|", views);
    nib.constrain(root, "H:|[panel]|", views);
    nib.constrain(shade, "V:[shade(==screen)]", views, metrics);
    nib.constrain(root, "V:|[shade][panel]", views);
    nib.constrain(panel, "V:[panel(==row)]", views, metrics);
    nib.constrain(panel, "H:|[close]|", views);
    nib.constrain(panel, "V:[close(==row)]|", views, metrics);
}

// The row: a button under the whole row holding the icon, the title, the details and the arrow.
void buildMenuItem(NibBuilder& nib)
{
    auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, MenuView::rowHeight }));
    auto button = std::make_shared<Button>(platform::ui::ButtonType::Custom);
    root->addSubview(button);
    nib.outlet("actionButton", button);
    nib.connectAction(*button, ControlEvent::TouchUpInside, "action");
    auto icon = std::make_shared<platform::ui::ImageView>();
    auto title = std::make_shared<Label>();
    auto top = std::make_shared<Label>();
    auto bottom = std::make_shared<Label>();
    auto arrow = std::make_shared<platform::ui::ImageView>();
    arrow->setImage(platform::ui::Image::named("IconRightChevron"));
    for (const auto& view : std::initializer_list<std::shared_ptr<View>> { icon, title, top, bottom, arrow })
        button->addSubview(view);
    nib.outlet("itemIcon", icon);
    nib.outlet("itemDescription", title);
    nib.outlet("itemTopExtraDetail", top);
    nib.outlet("itemBottomExtraDetail", bottom);
    nib.outlet("arrowImageView", arrow);

    platform::ui::VisualFormat::Views views { { "button", button }, { "icon", icon }, { "title", title },
        { "top", top }, { "bottom", bottom }, { "arrow", arrow } };
    nib.constrain(root, "H:|[button]|", views);
    nib.constrain(root, "V:|[button]|", views);
    nib.constrain(button, "H:|-15-[icon(==30)]-15-[title]-10-[top(==110)]-10-[arrow(==10)]-15-|", views);
    nib.constrain(button, "H:[bottom(==110)]-35-|", views);
    nib.constrain(button, "V:|-16-[icon(==30)]", views);
    nib.constrain(button, "V:|[title]|", views);
    nib.constrain(button, "V:|-8-[top(==22)][bottom(==22)]", views);
    nib.constrain(button, "V:|-26-[arrow(==10)]", views);
}

}

void registerMenuNibs()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        platform::ui::NibRegistry::registerClass("MenuView", {}, [] { return MenuView::make({}); });
        platform::ui::NibRegistry::registerClass(
            "MenuItem", {}, [] { return MenuItem::make(nullptr, "Business", {}, {}, true, {}); });
        platform::ui::NibRegistry::registerNib("MenuView", buildMenuView);
        platform::ui::NibRegistry::registerNib("MenuItem", buildMenuItem);
    });
}

}
