#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"

#include <memory>
#include <optional>
#include <string>

namespace platform::ui {
class Image;
class ImageView;
class Label;
}

namespace zorvik {

/// The overlay that tells for a moment how an action on an invoice ended: an icon over one word ("Sent",
/// "Deleted", "Oops"). Laid out by the nib "SendInvoiceResultView"; its owner shows and hides it whole.
class SendInvoiceResultView : public XibViewObjcmb {
public:
    SendInvoiceResultView();

    std::string className() const override { return "SendInvoiceResultView"; }

    /// The icon shown, or null.
    std::shared_ptr<const platform::ui::Image> icon() const;
    void setIcon(const std::shared_ptr<const platform::ui::Image>& icon);
    /// The word shown, or nothing.
    std::optional<std::string> text() const;
    void setText(const std::optional<std::string>& text);

private:
    std::shared_ptr<platform::ui::ImageView> m_icon;
    std::shared_ptr<platform::ui::Label> m_text;
};

/// Registers the class and its nib. Calling it again registers nothing twice.
void registerSendInvoiceResultViewNib();

}
