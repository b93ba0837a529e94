#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"

#include <memory>
#include <optional>
#include <string>

namespace zorvik {

class KeyboardScrollView;
class NavigationBar;
class OneButtonDialogView;

/// The frame of every full screen: the app's navigation bar at the top, a keyboard-aware scroll view below
/// it and, inside that, a content holder into which the screen's own content nib is loaded. The frame comes
/// from the nib "TemplateView"; the content nib is named after the screen's class unless it says otherwise.
/// Errors show in one one-button dialog over the whole frame, bar included.
class TemplateViewObjc : public XibViewObjcmb {
public:
    /// An empty frame; subclasses are made with create<T>().
    TemplateViewObjc();

    std::string className() const override { return "TemplateViewObjc"; }

    /// "TemplateView".
    std::string nib() const override;
    /// The content nib: the class's own name unless a subclass names another (or none).
    virtual std::optional<std::string> contentNib() const;
    /// Loads the content nib (its "4" variant too, where the class asks for it) into the content holder and
    /// pins it there; nothing without a content nib.
    void addContentFromNib();

    /// The error dialog, made on first use and kept for every later error.
    std::shared_ptr<OneButtonDialogView> errorDialog();
    /// Shows the title, message and button text in the error dialog, covering the whole frame. The dialog
    /// goes when its button is pressed.
    void showError(const std::string& title, const std::string& message, const std::string& button);

    /// The screen's bar.
    const std::shared_ptr<NavigationBar>& navigationBar() const { return m_navigationBar; }
    /// Replaces the bar outlet (the view tree is not changed).
    void setNavigationBar(std::shared_ptr<NavigationBar> bar) { m_navigationBar = std::move(bar); }
    /// The scrolling area under the bar.
    const std::shared_ptr<KeyboardScrollView>& contentScrollView() const { return m_contentScrollView; }
    /// The view that holds the content nib's view.
    const std::shared_ptr<platform::ui::View>& contentHolder() const { return m_contentHolder; }
    /// The error dialog when one has been made or set, else null.
    const std::shared_ptr<OneButtonDialogView>& errorView() const { return m_errorView; }
    /// Sets the error dialog used from now on.
    void setErrorView(std::shared_ptr<OneButtonDialogView> dialog) { m_errorView = std::move(dialog); }

protected:
    /// Builds the frame from "TemplateView" (or the subclass's frame nib), then loads the content.
    void construct() override;

private:
    std::shared_ptr<NavigationBar> m_navigationBar;
    std::shared_ptr<KeyboardScrollView> m_contentScrollView;
    std::shared_ptr<platform::ui::View> m_contentHolder;
    std::shared_ptr<OneButtonDialogView> m_errorView;
};

}
