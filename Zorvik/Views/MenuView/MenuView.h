#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"

#include <memory>
#include <string>
#include <vector>

namespace platform::ui {
class Button;
}

namespace zorvik {

class MenuItem;

/// The drop-down action menu of the invoice screens: a shade that dims the screen and, under it, a panel
/// with the rows stacked from its top (63 points each) and room for the close button below them. Shown
/// once over a parent view, the shade fades to half black while the panel slides up into view (0.3 s);
/// closed, the shade clears and the panel slides away, then the menu removes itself. A row's action does
/// not close the menu. Laid out by the nib "MenuView"; made in code with its rows.
class MenuView : public XibViewObjcmb {
public:
    /// The height of a row.
    static constexpr double rowHeight = 63;
    /// How long showing and hiding take, in seconds.
    static constexpr double animationDuration = 0.3;
    /// The alpha of the shade while the menu shows.
    static constexpr double shadeAlpha = 0.5;

    MenuView();

    /// A closed menu of these rows, in display order.
    static std::shared_ptr<MenuView> make(std::vector<std::shared_ptr<MenuItem>> menuItems);

    std::string className() const override { return "MenuView"; }

    /// Closes the keyboard, puts the menu over `parent` filling it, lays the rows in and animates it in.
    void showInView(const std::shared_ptr<platform::ui::View>& parent);
    /// Animates the menu away over `parent`, then removes it.
    void hideView(const std::shared_ptr<platform::ui::View>& parent);
    /// The close button's action: hideView() with the menu's superview.
    void closePressed();
    /// Sizes the panel: its nib height once for the close button and once per row.
    void calculateAndSetHeightOfMenu();
    /// Adds the rows to the panel, stacked from its top.
    void addMenuItems();

    const std::vector<std::shared_ptr<MenuItem>>& menuItems() const { return m_menuItems; }
    const std::shared_ptr<platform::ui::View>& shadowView() const { return m_shadowView; }
    const std::shared_ptr<platform::ui::View>& menuView() const { return m_menuView; }
    const std::shared_ptr<platform::ui::Button>& closeButton() const { return m_closeButton; }

private:
    std::shared_ptr<platform::ui::View> m_shadowView;
    std::shared_ptr<platform::ui::View> m_menuView;
    std::shared_ptr<platform::ui::Button> m_closeButton;
    std::vector<std::shared_ptr<MenuItem>> m_menuItems;
};

/// Registers the menu and its rows and their nibs. Calling it again registers nothing twice.
void registerMenuNibs();

}
