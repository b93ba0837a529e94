#include "Zorvik/Views/FriendlyDateLabel/FriendlyDateLabel.h"

#include "Zorvik/Models/PrettyDate.h"
#include "platform/foundation/Clock.h"

namespace zorvik {

FriendlyDateLabel::FriendlyDateLabel(platform::ui::Rect frame)
    : Label(frame)
    , m_date(platform::foundation::now())
{
}

void FriendlyDateLabel::setDate(platform::foundation::Date date)
{
    m_date = date;
    setText(m_prefix + prettyFormatDate(date));
}

}
