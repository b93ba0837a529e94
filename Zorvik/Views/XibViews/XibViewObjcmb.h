#pragma once

#include "platform/ui/NibOwner.h"
#include "platform/ui/NibRegistry.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace zorvik {

/// The base of the app's nib-loaded views. When it is made, it loads the first top-level view of the nib
/// named after its class with itself as the nib's owner (so the nib fills its outlets and connects its
/// actions), makes that view its content view, pins it to its four edges and takes the nib's designed size.
/// Subviews added to it later go into the content view.
///
/// Views are made in two steps, as the platform requires of shared views: create<T>() makes the object (whose
/// constructor declares its outlets and actions) and then runs construct(), where the nib is loaded.
/// fromNib<T>() is the decoder a nib uses when it places the view.
class XibViewObjcmb : public platform::ui::View, public platform::ui::NibOwner {
public:
    /// An empty view, built from its nib by construct(); use create<T>() or fromNib<T>().
    XibViewObjcmb();

    /// Makes a T with `args`, sets its frame and constructs it (the platform's initWithFrame:).
    template<class T, class... Args>
    static std::shared_ptr<T> create(platform::ui::Rect frame, Args&&... args)
    {
        auto view = std::make_shared<T>(std::forward<Args>(args)...);
        view->setFrame(frame);
        static_cast<XibViewObjcmb&>(*view).construct();
        return view;
    }
    /// Makes a T with the zero frame: it takes its nib's size (the platform's init).
    template<class T> static std::shared_ptr<T> create() { return create<T>(platform::ui::Rect::zero()); }
    /// Makes a T placed in another nib, with the frame that nib gives (the platform's initWithCoder:).
    template<class T> static std::shared_ptr<platform::ui::View> fromNib(const platform::ui::NibCoder& coder)
    {
        return create<T>(coder.frame);
    }

    std::string className() const override { return "XibViewObjcmb"; }

    /// The nib name used by construction: nibFromClass() of the class name unless a subclass names another.
    virtual std::string nib() const;
    /// The nib name of a class: its runtime name, the plain class name.
    static std::string nibFromClass(std::string_view className);

    /// Whether the main screen is a short one, 480 points high.
    static bool isSmallIPhone();
    /// Whether the view loads the variant "<name>4" of the nib `name` on a short screen (no, unless a
    /// subclass says so).
    virtual bool shouldLoadShortIPhoneViewForNib(const std::string& name) const;
    /// Whether construction gives the view its nib's size (yes).
    virtual bool shouldSetInitialSize() const;
    /// Gives the view the size, keeping its origin.
    void setInitialSize(platform::ui::Size size);

    /// The first top-level view of the nib (null until constructed).
    const std::shared_ptr<platform::ui::View>& contentView() const { return m_contentView; }

    /// Loads the nib view of that name, makes it the content view, adds it to this view and pins it here.
    void setContentViewFromNib(const std::string& name);
    /// The first top-level view of the nib `name` (or its short-screen variant), loaded with this view as
    /// owner. Throws platform::ui::NibError when the nib is missing.
    std::shared_ptr<platform::ui::View> loadNib(const std::string& name);
    /// Pins the view to the four edges of `parent` with zero margins.
    static void constrainViewToMatchParent(
        const std::shared_ptr<platform::ui::View>& view, const std::shared_ptr<platform::ui::View>& parent);

    /// Adds the view to the content view (nothing before construction).
    void addSubview(const std::shared_ptr<platform::ui::View>& view) override;
    /// Sends the view to the back of the content view.
    void sendSubviewToBack(const platform::ui::View& view) override;

protected:
    /// Builds the view from its nib: the content view, the initial size, a clear background. Subclasses that
    /// extend it call this first.
    virtual void construct();

private:
    std::shared_ptr<platform::ui::View> m_contentView;
};

}
