#include "Zorvik/Views/SendInvoiceResultView/SendInvoiceResultView.h"

#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibBuilder.h"

#include <mutex>

namespace zorvik {

using platform::ui::Rect;

SendInvoiceResultView::SendInvoiceResultView()
{
    declareOutlet("icon_", m_icon);
    declareOutlet("text_", m_text);
}

std::shared_ptr<const platform::ui::Image> SendInvoiceResultView::icon() const
{
    return m_icon->image();
}

void SendInvoiceResultView::setIcon(const std::shared_ptr<const platform::ui::Image>& icon)
{
    m_icon->setImage(icon);
}

std::optional<std::string> SendInvoiceResultView::text() const
{
    return m_text->text();
}

void SendInvoiceResultView::setText(const std::optional<std::string>& text)
{
    m_text->setText(text);
}

void registerSendInvoiceResultViewNib()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        platform::ui::NibRegistry::registerClass(
            "SendInvoiceResultView", XibViewObjcmb::fromNib<SendInvoiceResultView>);
        platform::ui::NibRegistry::registerNib("SendInvoiceResultView", [](platform::ui::NibBuilder& nib) {
            auto root = nib.topLevel(std::make_shared<platform::ui::View>(Rect { 0, 0, 160, 160 }));
            root->setBackgroundColor(platform::ui::Color::black().withAlpha(0.75));
            root->setCornerRadius(10);
            auto icon = std::make_shared<platform::ui::ImageView>(Rect { 50, 30, 60, 60 });
            root->addSubview(icon);
            nib.outlet("icon_", icon);
            auto text = std::make_shared<platform::ui::Label>(Rect { 10, 100, 140, 30 });
            text->setTextAlignment(platform::ui::TextAlignment::Center);
            text->setTextColor(platform::ui::Color::white());
            root->addSubview(text);
            nib.outlet("text_", text);
        });
    });
}

}
