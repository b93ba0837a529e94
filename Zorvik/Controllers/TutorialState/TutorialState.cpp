#include "Zorvik/Controllers/TutorialState/TutorialState.h"

#include "Zorvik/DeviceStorage/FileStore.h"
#include "ZorvikAPI/filters/DoneFilter.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Log.h"

#include <algorithm>

namespace zorvik {

using platform::foundation::Dictionary;
using platform::foundation::Value;

namespace {

const platform::foundation::Log& tutorialLog()
{
    static const platform::foundation::Log log("[DeviceStorage]");
    return log;
}

}

TutorialState::TutorialState(std::shared_ptr<FileStore> fs, platform::foundation::ArrayRef invoices)
    : m_fs(std::move(fs))
    , m_jsonObject(Dictionary::make())
    , m_invoices(std::move(invoices))
{
    auto text = m_fs->readFromFile(TUTORIAL_FILE);
    if (!text)
        return;
    auto read = platform::foundation::parseJson(*text);
    if (auto object = read.value.dictionary(); read.ok() && object) {
        m_jsonObject = object;
        return;
    }
    auto path = m_fs->pathForFile(TUTORIAL_FILE);
    auto moved = path ? platform::foundation::Files::moveAside(*path) : std::nullopt;
    tutorialLog().write("The file tutorial does not hold a JSON object; "
        + (moved ? "it was moved to " + moved->filename().string()
                 : std::string("it could not be moved aside"))
        + ", and every hint counts as not seen");
}

bool TutorialState::flag(std::string_view key) const
{
    return m_jsonObject->get(key).boolValue();
}

void TutorialState::setFlag(std::string_view key, bool value)
{
    m_jsonObject->set(key, value);
    save();
}

bool TutorialState::hasFirstHintBeenShown() const
{
    return (m_invoices && !m_invoices->empty()) || flag(FIRST_HINT_KEY);
}

void TutorialState::setHasFirstHintBeenShown(bool shown)
{
    setFlag(FIRST_HINT_KEY, shown);
}

bool TutorialState::hasSecondHintBeenShown() const
{
    bool anyDone
        = m_invoices && std::any_of(m_invoices->begin(), m_invoices->end(), [](const Value& invoice) {
              auto record = invoice.dictionary();
              return record && api::DoneFilter::isInvoiceDone(api::Invoice(record));
          });
    return anyDone || flag(SECOND_HINT_KEY);
}

void TutorialState::setHasSecondHintBeenShown(bool shown)
{
    setFlag(SECOND_HINT_KEY, shown);
}

bool TutorialState::hasThirdHintBeenShown() const
{
    return hasAnInvoiceBeenMovedBackAndForth() || flag(THIRD_HINT_KEY);
}

void TutorialState::setHasThirdHintBeenShown(bool shown)
{
    setFlag(THIRD_HINT_KEY, shown);
}

bool TutorialState::shouldShowSecondHint() const
{
    return !hasSecondHintBeenShown() && m_invoices && m_invoices->size() == 1;
}

bool TutorialState::hasAnInvoiceBeenMovedBackAndForth() const
{
    if (!m_invoices)
        return false;
    return std::any_of(m_invoices->begin(), m_invoices->end(), [](const Value& invoice) {
        auto record = invoice.dictionary();
        auto folders = record ? api::Invoice(record).folders() : nullptr;
        return folders && folders->size() > 1;
    });
}

void TutorialState::save() const
{
    m_fs->saveToFile(TUTORIAL_FILE, platform::foundation::toJson(m_jsonObject));
}

}
