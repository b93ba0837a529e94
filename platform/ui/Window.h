#pragma once

#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <vector>

namespace platform::ui {

/// The root of a tree of views shown on the screen. A view is "in a window" when the root of its tree is a
/// Window; the first responder of that tree is the window's (see View's first-responder methods). One window
/// is the key window, the one that takes typed keys.
///
/// The window holds one content view that fills it. Screens put their view there; a root view controller,
/// when there is one, does so through setContentView().
class Window : public View {
public:
    /// A window covering the main screen.
    Window();
    /// A window with the given frame.
    explicit Window(Rect frame);
    ~Window() override;

    /// "Window".
    std::string className() const override;
    /// The window itself.
    Window* window() const override;

    /// Makes this the key window and shows it.
    void makeKeyAndVisible();
    /// Whether this is the key window.
    bool isKeyWindow() const;
    /// The key window, or null.
    static std::shared_ptr<Window> keyWindow();
    /// Every live window, oldest first.
    static const std::vector<Window*>& windows();

    /// The view that fills the window, or null.
    const std::shared_ptr<View>& contentView() const { return m_contentView; }
    /// Replaces the content view: the former one leaves the window, the new one (which may be null) is added
    /// behind any other subviews and, unless it is placed by constraints, sized to the window's bounds.
    virtual void setContentView(const std::shared_ptr<View>& view);

    /// Moves and resizes the window; a content view that keeps its frame follows the new size.
    void setFrame(const Rect& frame) override;

private:
    std::shared_ptr<View> m_contentView;
};

}
