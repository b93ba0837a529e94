#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"

#include <memory>

namespace zorvik {

/// A first-use hint of the home screen. Hiding or showing it runs its own way of going or coming; it may
/// be dismissed once it shows and its visibility view is fully opaque on screen (not while it fades in,
/// nor while it is hidden, whatever its opacity).
class HintView : public XibViewObjcmb {
public:
    std::string className() const override { return "HintView"; }

    /// Hides or shows the view, then runs hideHint() or showHint().
    void setHidden(bool hidden) override;
    /// Whether the hint shows and its visibility view is fully opaque now, on the main queue's clock.
    bool isDismissable() const;
    /// How the hint comes (nothing here).
    virtual void showHint() { }
    /// How the hint goes (nothing here).
    virtual void hideHint() { }

    /// The part whose opacity tells whether the hint is fully shown.
    virtual std::shared_ptr<platform::ui::View> visibilityView() const = 0;
};

}
