#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"

#include <memory>
#include <optional>
#include <string>

namespace zorvik {

class KeyboardScrollView;
class NavigationBar;
class OneButtonDialogView;

/// The screen frame made in code, beside TemplateViewObjc: the nib "TemplateView" gives the bar, the
/// keyboard-aware scroll view and the content holder (held weakly), and the content nib named after the
/// class is loaded into the holder. A content nib named like the frame nib itself is not loaded again, so a
/// plain TemplateView shows an empty holder. Errors show in one one-button dialog over the whole frame.
class TemplateView : public XibViewObjcmb {
public:
    /// An empty frame; make one with make() or create<T>().
    TemplateView();

    /// A frame of its nib's size.
    static std::shared_ptr<TemplateView> make();

    std::string className() const override { return "TemplateView"; }

    /// "TemplateView".
    std::string nib() const override;
    /// The class's own name, or nothing when that is the frame nib's name.
    virtual std::optional<std::string> contentNib() const;

    /// Shows the title, message and button text in the error dialog (made on first use, then reused),
    /// covering the whole frame.
    void showError(const std::string& title, const std::string& message, const std::string& button);

    /// The screen's bar.
    std::shared_ptr<NavigationBar> navigationBar() const { return m_navigationBar.lock(); }
    /// The scrolling area under the bar.
    std::shared_ptr<KeyboardScrollView> contentScrollView() const { return m_contentScrollView.lock(); }
    /// The view that holds the content nib's view.
    std::shared_ptr<platform::ui::View> contentHolder() const { return m_contentHolder.lock(); }
    /// The error dialog once an error has been shown, else null.
    const std::shared_ptr<OneButtonDialogView>& errorDialog() const { return m_errorDialog; }

protected:
    /// Builds the frame, then loads the content.
    void construct() override;

private:
    void addContentFromNib();

    std::weak_ptr<NavigationBar> m_navigationBar;
    std::weak_ptr<KeyboardScrollView> m_contentScrollView;
    std::weak_ptr<platform::ui::View> m_contentHolder;
    std::shared_ptr<OneButtonDialogView> m_errorDialog;
};

}
