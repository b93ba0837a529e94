#pragma once

#include "platform/foundation/Date.h"
#include "platform/ui/Label.h"

#include <string>

namespace zorvik {

/// A label that reads a prefix followed by a date as the invoice lists show it ("sent today",
/// "paid Tuesday", "sent 04 March").
class FriendlyDateLabel : public platform::ui::Label {
public:
    /// A label dated now on the main queue's clock, without prefix or text.
    explicit FriendlyDateLabel(platform::ui::Rect frame = platform::ui::Rect::zero());

    std::string className() const override { return "FriendlyDateLabel"; }

    /// The text before the date ("" unless set).
    const std::string& prefix() const { return m_prefix; }
    /// Keeps the prefix; the text shows it from the next setDate().
    void setPrefix(std::string prefix) { m_prefix = std::move(prefix); }
    /// The date shown.
    platform::foundation::Date date() const { return m_date; }
    /// Keeps the date and sets the text to the prefix followed by the friendly form of the date.
    void setDate(platform::foundation::Date date);

private:
    std::string m_prefix;
    platform::foundation::Date m_date;
};

}
