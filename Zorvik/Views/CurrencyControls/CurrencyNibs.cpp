#include "Zorvik/Views/CurrencyControls/CurrencyNibs.h"

#include "Zorvik/Views/CurrencyControls/CurrencyLabel/CurrencyLabel.h"
#include "Zorvik/Views/CurrencyControls/CurrencyTextField/CurrencyTextField.h"

#include <mutex>

namespace zorvik {

void registerCurrencyNibs()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        platform::ui::NibRegistry::registerClass("CurrencyTextField", CurrencyTextField::fromNib);
        platform::ui::NibRegistry::registerClass("CurrencyLabel", CurrencyLabel::fromNib);
    });
}

}
