#include "testing/backend/ChangeRecorder.h"

namespace testing {

using platform::foundation::Change;

ChangeRecorder::ChangeRecorder(std::vector<std::string>& events)
    : m_events(events)
{
}

void ChangeRecorder::observeValue(platform::foundation::Dictionary&, const std::string&, const Change& change)
{
    m_events.push_back(describe(change));
}

std::string ChangeRecorder::describe(const Change& change)
{
    std::string event;
    switch (change.kind) {
    case Change::Kind::Setting:
        event = "setting";
        break;
    case Change::Kind::Insertion:
        event = "insertion";
        break;
    case Change::Kind::Removal:
        event = "removal";
        break;
    case Change::Kind::Replacement:
        event = "replacement";
        break;
    }
    for (auto index : change.indexes)
        event += " " + std::to_string(index);
    return event;
}

}
