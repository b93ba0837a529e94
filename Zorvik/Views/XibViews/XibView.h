#pragma once

#include "platform/ui/NibOwner.h"
#include "platform/ui/NibRegistry.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

/// A self-contained nib-loaded view: when it is made it loads the first top-level view of the nib named
/// after its class (without the module qualifier of its runtime name), keeps it as its content view, pins it
/// to its four edges and takes the nib's designed size. Subviews added to it go into the content view.
///
/// Made in two steps, as shared views must be: create<T>() starts from the main screen's bounds (the
/// platform's init), fromNib<T>() from the frame a containing nib gives; there is no frame initialiser.
class XibView : public platform::ui::View, public platform::ui::NibOwner {
public:
    /// The module that qualifies the runtime names of these views ("qz.XibView").
    static constexpr const char* moduleName = "qz";

    /// An empty view, built from its nib when made by create<T>() or fromNib<T>().
    XibView();

    /// Makes a T with the main screen's bounds and constructs it.
    template<class T> static std::shared_ptr<T> create()
    {
        auto view = std::make_shared<T>();
        static_cast<XibView&>(*view).setFrame(platform::ui::Screen::main().bounds());
        static_cast<XibView&>(*view).construct();
        return view;
    }
    /// Makes a T placed in another nib, with the frame that nib gives, and constructs it.
    template<class T> static std::shared_ptr<platform::ui::View> fromNib(const platform::ui::NibCoder& coder)
    {
        auto view = std::make_shared<T>();
        static_cast<XibView&>(*view).setFrame(coder.frame);
        static_cast<XibView&>(*view).construct();
        return view;
    }

    std::string className() const override { return "XibView"; }
    /// The module-qualified name the class is known by at run time ("qz.XibView").
    virtual std::string runtimeClassName() const;

    /// The nib the view loads: nibFromClass() of its runtime name.
    std::string nib() const;
    /// The class name without its module qualifier: the second piece of the runtime name cut at each "."
    /// ("qz.XibView" gives "XibView"); a name without a point is taken whole.
    static std::string nibFromClass(std::string_view runtimeName);

    /// Whether a nib's top-level views hold a second layout: true when there is more than one.
    static bool hasSmallIPhoneSpecificLayout(
        const std::vector<std::shared_ptr<platform::ui::View>>& topLevel);
    /// Whether the loaders take the variant "<name>4" on a 480-point screen (no: the nib named as asked).
    virtual bool shouldLoadShortIPhoneViewForNib(const std::string& name) const;
    /// Whether construction gives the view its nib's size (yes).
    virtual bool shouldSetInitialSize() const;

    /// The first top-level view of the nib `name`, loaded with this view as owner. Throws
    /// platform::ui::NibError when the nib is missing.
    std::shared_ptr<platform::ui::View> loadNib(const std::string& name);
    /// Loads the nib view, makes it the content view, adds it to this view and pins it here.
    void setContentViewFromNib(const std::string& name);
    /// Loads the nib view, makes it the content view, adds it to `parent` (a view other than this one) and
    /// pins it there.
    void setContentViewFromNib(const std::string& name, const std::shared_ptr<platform::ui::View>& parent);
    /// Loads the nib view, adds it to this view and pins it here; the content view stays as it was.
    void addContentiewFromNib(const std::string& name);
    /// Pins the view to the four edges of `parent` with zero margins, horizontal pair first.
    static void constrainViewToMatchParent(
        const std::shared_ptr<platform::ui::View>& view, const std::shared_ptr<platform::ui::View>& parent);

    /// The content view, or null before construction.
    const std::shared_ptr<platform::ui::View>& contentView() const { return m_contentView; }

    /// Adds the view to the content view (nothing when there is none).
    void addSubview(const std::shared_ptr<platform::ui::View>& view) override;
    /// Sends the view to the back of the content view (nothing when there is none).
    void sendSubviewToBack(const platform::ui::View& view) override;

private:
    static bool isSmallIPhone();
    void construct();
    void setInitialSize(platform::ui::Size size);

    std::shared_ptr<platform::ui::View> m_contentView;
};

}
