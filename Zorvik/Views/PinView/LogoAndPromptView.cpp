#include "Zorvik/Views/PinView/LogoAndPromptView.h"

#include "platform/ui/Label.h"

namespace zorvik {

LogoAndPromptView::LogoAndPromptView()
{
    declareOutlet("prompt", m_prompt);
}

std::shared_ptr<LogoAndPromptView> LogoAndPromptView::make(const std::string& text)
{
    auto view = create<LogoAndPromptView>();
    view->setPromptText(text);
    return view;
}

std::shared_ptr<platform::ui::View> LogoAndPromptView::fromNib(const platform::ui::NibCoder& coder)
{
    auto view = create<LogoAndPromptView>(coder.frame);
    view->setPromptText(defaultPrompt);
    return view;
}

void LogoAndPromptView::setPromptText(const std::string& text)
{
    prompt()->setText(text);
}

std::shared_ptr<LogoAndPromptView4> LogoAndPromptView4::make(const std::string& text)
{
    auto view = create<LogoAndPromptView4>();
    view->setPromptText(text);
    return view;
}

}
