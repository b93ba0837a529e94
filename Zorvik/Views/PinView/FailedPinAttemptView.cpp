#include "Zorvik/Views/PinView/FailedPinAttemptView.h"

#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace zorvik {

FailedPinAttemptView::FailedPinAttemptView()
{
    declareOutlet("imageView", m_imageView, platform::ui::OutletRequirement::Optional);
    declareOutlet("textView", m_textView);
}

std::shared_ptr<FailedPinAttemptView> FailedPinAttemptView::make(
    const std::shared_ptr<const platform::ui::Image>& image, const std::string& text)
{
    auto view = create<FailedPinAttemptView>();
    view->setImage(image);
    view->setText(text);
    return view;
}

bool FailedPinAttemptView::shouldLoadShortIPhoneViewForNib(const std::string&) const
{
    return true;
}

std::shared_ptr<const platform::ui::Image> FailedPinAttemptView::image() const
{
    auto icon = m_imageView.lock();
    return icon ? icon->image() : nullptr;
}

void FailedPinAttemptView::setImage(const std::shared_ptr<const platform::ui::Image>& image)
{
    if (auto icon = m_imageView.lock())
        icon->setImage(image);
}

std::string FailedPinAttemptView::text() const
{
    return m_textView.lock()->text().value_or("");
}

void FailedPinAttemptView::setText(const std::string& text)
{
    m_textView.lock()->setText(text);
}

}
