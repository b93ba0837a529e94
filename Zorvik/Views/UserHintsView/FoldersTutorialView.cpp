#include "Zorvik/Views/UserHintsView/FoldersTutorialView.h"

#include "Zorvik/Controllers/TutorialState/TutorialState.h"
#include "Zorvik/DeviceStorage/SDK.h"
#include "Zorvik/Views/UserHintsView/UserSwipeHintsView.h"

namespace zorvik {

FoldersTutorialView::FoldersTutorialView()
{
    declareOutlet("createInvoiceHint", m_createInvoiceHint);
    declareOutlet("swipeHint", m_swipeHint);
}

void FoldersTutorialView::construct()
{
    XibViewObjcmb::construct();
    m_tutorialState = std::make_shared<TutorialState>(SDK::sdk().fs(), nullptr);
    m_createInvoiceHint->setHidden(true);
    m_swipeHint->setHidden(true);
}

const platform::foundation::ArrayRef& FoldersTutorialView::invoices() const
{
    return m_tutorialState->invoices();
}

void FoldersTutorialView::setInvoices(const platform::foundation::ArrayRef& invoices)
{
    m_tutorialState->setInvoices(invoices);
    hideCurrentHint();
    showDueHints();
}

void FoldersTutorialView::showDueHints()
{
    if (m_tutorialState->shouldShowFirstHint())
        showCreateInvoiceHint();
    if (m_tutorialState->shouldShowSecondHint() && m_shownFolder == 0)
        showSwipeHint();
}

void FoldersTutorialView::viewSwitched(unsigned folder)
{
    m_shownFolder = folder;
    if (folder != 0)
        hideHint();
    else if (m_tutorialState->shouldShowSecondHint())
        showSwipeHint();
}

void FoldersTutorialView::setObscured(bool obscured)
{
    if (obscured == m_obscured)
        return;
    if (obscured)
        hideCurrentHint();
    else
        showDueHints();
    m_obscured = obscured;
}

void FoldersTutorialView::invoiceCreated()
{
    m_createInvoiceHint->setHidden(true);
    m_tutorialState->setHasFirstHintBeenShown(true);
}

void FoldersTutorialView::invoiceSwiped()
{
    m_swipeHint->setHidden(true);
    m_tutorialState->setHasSecondHintBeenShown(true);
}

void FoldersTutorialView::hideHint()
{
    auto current = currentHint();
    if (!current)
        return;
    if (!current->isDismissable()) {
        current->setHidden(true);
        return;
    }
    if (current == m_createInvoiceHint)
        m_tutorialState->setHasFirstHintBeenShown(true);
    else if (current == m_swipeHint)
        m_tutorialState->setHasSecondHintBeenShown(true);
    current->setHidden(true);
    m_currentHint.reset();
}

void FoldersTutorialView::hideCurrentHint()
{
    if (auto current = currentHint())
        current->setHidden(true);
    m_currentHint.reset();
}

void FoldersTutorialView::showCreateInvoiceHint()
{
    m_createInvoiceHint->setHidden(false);
    m_currentHint = m_createInvoiceHint;
}

void FoldersTutorialView::showSwipeHint()
{
    m_swipeHint->setIcon(1);
    m_swipeHint->setText(kSwipeHintText);
    m_swipeHint->setHidden(false);
    m_currentHint = m_swipeHint;
}

std::shared_ptr<platform::ui::View> FoldersTutorialView::hitTest(platform::ui::Point)
{
    auto self = shared_from_this();
    hideHint();
    return nullptr;
}

}
