#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"

#include <memory>
#include <string>

namespace platform::ui {
class Label;
}

namespace zorvik {

/// The app's logo above a prompt line, laid out by the nib "LogoAndPromptView": the header of the PIN
/// log-in screen and of the e-mail screens.
class LogoAndPromptView : public XibViewObjcmb {
public:
    /// The prompt of a view placed by another nib, until its owner sets one.
    static constexpr const char* defaultPrompt { "" };

    /// An empty view; make one with make() or from a nib (with defaultPrompt).
    LogoAndPromptView();

    /// A view with the prompt `text`.
    static std::shared_ptr<LogoAndPromptView> make(const std::string& text);
    /// A view placed by another nib, with the frame it gives and defaultPrompt.
    static std::shared_ptr<platform::ui::View> fromNib(const platform::ui::NibCoder& coder);

    std::string className() const override { return "LogoAndPromptView"; }

    /// Sets the prompt's text.
    void setPromptText(const std::string& text);
    /// The prompt label.
    std::shared_ptr<platform::ui::Label> prompt() const { return m_prompt.lock(); }

private:
    std::weak_ptr<platform::ui::Label> m_prompt;
};

/// The LogoAndPromptView of a 480-point-high screen, with a smaller logo (nib "LogoAndPromptView4").
class LogoAndPromptView4 : public LogoAndPromptView {
public:
    /// A view with the prompt `text`.
    static std::shared_ptr<LogoAndPromptView4> make(const std::string& text);

    std::string className() const override { return "LogoAndPromptView4"; }
};

}
