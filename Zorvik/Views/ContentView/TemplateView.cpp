#include "Zorvik/Views/ContentView/TemplateView.h"

#include "Zorvik/Views/Constraints/MatchParentConstraints.h"
#include "Zorvik/Views/KeyboardScrollView/KeyboardScrollView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/OneButtonDialogView/OneButtonDialogView.h"

namespace zorvik {

TemplateView::TemplateView()
{
    declareOutlet("navigationBar", m_navigationBar);
    declareOutlet("contentScrollView", m_contentScrollView);
    declareOutlet("contentHolder", m_contentHolder);
}

std::shared_ptr<TemplateView> TemplateView::make()
{
    return create<TemplateView>();
}

std::string TemplateView::nib() const
{
    return "TemplateView";
}

std::optional<std::string> TemplateView::contentNib() const
{
    std::string name = nibFromClass(className());
    if (name == nib())
        return std::nullopt;
    return name;
}

void TemplateView::construct()
{
    XibViewObjcmb::construct();
    addContentFromNib();
}

void TemplateView::addContentFromNib()
{
    auto name = contentNib();
    if (!name)
        return;
    auto content = loadNib(*name);
    auto holder = contentHolder();
    holder->addSubview(content);
    MatchParentConstraints::constrainChildToMatchParent(content, holder);
}

void TemplateView::showError(const std::string& title, const std::string& message, const std::string& button)
{
    if (!m_errorDialog)
        m_errorDialog = OneButtonDialogView::make();
    m_errorDialog->setTitle(title);
    m_errorDialog->setMessage(message);
    m_errorDialog->setButtonText(button);
    auto self = shared_from_this();
    addSubview(m_errorDialog);
    MatchParentConstraints::constrainChildToMatchParent(m_errorDialog, self);
}

}
