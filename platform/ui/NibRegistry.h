#pragma once

#include "platform/ui/Geometry.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform::ui {

class NibBuilder;
class NibOwner;
class View;

/// A programming error in a nib: a nib or custom class that is not registered, an outlet or action the
/// owner does not declare, an outlet of the wrong type, an unknown attribute, a nib without top-level view.
class NibError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

/// What a view decoded from a nib starts from (the platform's "init with coder").
struct NibCoder {
    /// The frame the nib gives the view.
    Rect frame;
};

/// The one place layouts come from. A nib is a C++ function registered under a name that builds the nib's
/// top-level views (with their subviews, properties, constraints and attributes) and connects outlets and
/// actions to the owner it is loaded for; see NIBS.md beside this file. Custom view classes are registered
/// by name too, so that nibs can place them and tests can check every one of them.
///
/// Registration and loading happen on the main thread.
class NibRegistry {
public:
    /// Builds a nib's contents for an owner.
    using Builder = std::function<void(NibBuilder& nib)>;
    /// Makes a view of a custom class from a nib (the class loads its own nib, where it has one).
    using Decoder = std::function<std::shared_ptr<View>(const NibCoder& coder)>;
    /// Makes a view of a custom class the way the app does, for the check of every class.
    using Sample = std::function<std::shared_ptr<View>()>;

    /// Registers a nib. Throws NibError when the name is taken.
    static void registerNib(const std::string& name, Builder builder);
    /// Removes a nib (nothing when there is none): for tests that register their own.
    static void removeNib(const std::string& name);
    /// Whether a nib of that name is registered.
    static bool hasNib(const std::string& name);
    /// The registered nib names, sorted.
    static std::vector<std::string> nibNames();

    /// The name to load: `name` + "4" when the class asks for its short-screen variant and the main screen is
    /// 480 points high, else `name`.
    static std::string variantName(const std::string& name, bool shortScreenVariant);
    /// Builds the nib `variantName(name, shortScreenVariant)` for `owner` (may be null) and returns its
    /// top-level views in order. Throws NibError when that nib is not registered, when it has no top-level
    /// view, or for any binding error inside it (including a nib that contains itself).
    static std::vector<std::shared_ptr<View>> load(
        const std::string& name, NibOwner* owner, bool shortScreenVariant = false);

    /// Registers a custom view class under its runtime name; a module-qualified name ("qz.XibView") and the
    /// plain one ("XibView") then find the same class. `sample` defaults to decoding with a zero frame; a
    /// class made only in code gives an empty `decode` and a `sample`. Throws NibError when the plain name is
    /// taken or both functions are empty.
    static void registerClass(const std::string& name, Decoder decode, Sample sample = {});
    /// Removes a class (nothing when there is none): for tests that register their own.
    static void removeClass(const std::string& name);
    /// Whether a class of that (plain or qualified) name is registered.
    static bool hasClass(const std::string& name);
    /// The registered class names as given at registration, sorted.
    static std::vector<std::string> classNames();
    /// A view of the class, decoded from `coder`. Throws NibError for an unknown class or one that cannot
    /// be made from a nib.
    static std::shared_ptr<View> instantiate(const std::string& className, const NibCoder& coder);
    /// The class name without its module qualifier: "qz.XibView" gives "XibView", "XibView" stays.
    static std::string plainClassName(const std::string& name);

    /// Makes every registered class on a 480-point and on a 568-point screen and returns one line per
    /// problem: a nib that is missing or fails to load, or a required outlet of the view that stays
    /// unconnected. Empty when every class is sound. The app's tests assert that it is empty.
    static std::vector<std::string> verifyClasses();
};

}
