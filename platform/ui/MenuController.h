#pragma once

#include "platform/ui/Geometry.h"

#include <cstddef>
#include <string>
#include <vector>

namespace platform::ui {

/// The edit menu (Cut, Copy, Paste...) that floats over selected text. There is one, shared by every view;
/// it shows where its target rectangle says. Main queue only.
class MenuController {
public:
    /// The one menu.
    static MenuController& shared();

    MenuController(const MenuController&) = delete;
    MenuController& operator=(const MenuController&) = delete;

    /// Whether the menu shows.
    bool isMenuVisible() const { return m_visible; }
    /// Shows or hides the menu; `animated` only chooses how it looks.
    void setMenuVisible(bool visible, bool animated = false);
    /// How many times the menu was asked to hide.
    std::size_t hideRequestCount() const { return m_hideRequests; }

    /// The rectangle the menu points at, in window coordinates.
    Rect targetRect() const { return m_targetRect; }
    /// Sets the rectangle the menu points at.
    void setTargetRect(const Rect& rect) { m_targetRect = rect; }
    /// The commands the menu offers, in order.
    const std::vector<std::string>& items() const { return m_items; }
    /// Sets the commands the menu offers.
    void setItems(std::vector<std::string> items) { m_items = std::move(items); }

    /// Hides the menu and forgets its target, items and counts: for tests.
    void reset();

private:
    MenuController() = default;

    bool m_visible { false };
    std::size_t m_hideRequests { 0 };
    Rect m_targetRect;
    std::vector<std::string> m_items { "Cut", "Copy", "Paste" };
};

}
