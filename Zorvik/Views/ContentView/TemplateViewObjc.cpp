#include "Zorvik/Views/ContentView/TemplateViewObjc.h"

#include "Zorvik/Views/Constraints/MatchParentConstraints.h"
#include "Zorvik/Views/KeyboardScrollView/KeyboardScrollView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/OneButtonDialogView/OneButtonDialogView.h"

namespace zorvik {

TemplateViewObjc::TemplateViewObjc()
{
    declareOutlet("navigationBar", m_navigationBar);
    declareOutlet("contentScrollView", m_contentScrollView);
    declareOutlet("contentHolder", m_contentHolder);
    declareOutlet("errorView", m_errorView, platform::ui::OutletRequirement::Optional);
}

std::string TemplateViewObjc::nib() const
{
    return "TemplateView";
}

std::optional<std::string> TemplateViewObjc::contentNib() const
{
    return nibFromClass(className());
}

void TemplateViewObjc::construct()
{
    XibViewObjcmb::construct();
    addContentFromNib();
}

void TemplateViewObjc::addContentFromNib()
{
    auto name = contentNib();
    if (!name)
        return;
    auto content = loadNib(*name);
    m_contentHolder->addSubview(content);
    MatchParentConstraints::constrainChildToMatchParent(content, m_contentHolder);
}

std::shared_ptr<OneButtonDialogView> TemplateViewObjc::errorDialog()
{
    if (!m_errorView)
        m_errorView = OneButtonDialogView::make();
    return m_errorView;
}

void TemplateViewObjc::showError(
    const std::string& title, const std::string& message, const std::string& button)
{
    auto dialog = errorDialog();
    dialog->setTitle(title);
    dialog->setMessage(message);
    dialog->setButtonText(button);
    dialog->showInParent(shared_from_this());
}

}
