// One keystroke in the contact e-mail search, over an address book of 1,000 and 10,000 contact-and-address
// pairs. Each keystroke filters the whole loaded list on the main thread: one pass of prefix comparisons
// over the case-folded fields kept beside the entries, then the found entries handed to the table as
// search items. The time should grow in step with the list ("per_pair" about the same at both sizes) and
// stay well under one frame of a 60 Hz screen (16 ms) at 10,000 pairs. "a" finds a tenth of the entries
// (every Anna), "zq" none, so both the copying of what is found and the bare pass show.

#include "Zorvik/Controllers/CompanySummaryControllers/AddressBookContactFilter.h"
#include "Zorvik/Controllers/CompanySummaryControllers/AddressBookSearchViewTableDatasource.h"
#include "Zorvik/Views/Nibs/Nibs.h"
#include "Zorvik/Views/SearchView/EmptySearchResultsView.h"
#include "Zorvik/Views/SearchView/SearchView.h"
#include "Zorvik/Views/SearchView/SearchViewColourScheme.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/ContactsStore.h"
#include "platform/ui/Screen.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using namespace zorvik;

/// `pairs` contact-and-address pairs: half the contacts have one address, half two.
std::vector<platform::ui::Contact> addressBook(int pairs)
{
    static const char* firstNames[] { "Anna", "bob", "Carla", "Dev", "Émile", "Farah", "Gus", "Hana", "Ian",
        "Jo" };
    std::vector<platform::ui::Contact> contacts;
    for (int made = 0, index = 0; made < pairs; ++index) {
        std::string number = std::to_string(index);
        platform::ui::Contact contact { firstNames[index % 10], "Family" + number, {} };
        contact.emailAddresses.push_back("person" + number + "@example.com");
        if (index % 2 && made + 1 < pairs)
            contact.emailAddresses.push_back("work" + number + "@example.org");
        made += int(contact.emailAddresses.size());
        contacts.push_back(std::move(contact));
    }
    return contacts;
}

void perPair(benchmark::State& state)
{
    state.counters["per_pair"] = benchmark::Counter(double(state.iterations()) * double(state.range(0)),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void filter(benchmark::State& state, const char* term)
{
    AddressBookContactFilter contacts(addressBook(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(contacts.matching(term));
    perPair(state);
}

/// The source's whole answer to a keystroke: the filter and the items handed to the search view.
void keystroke(benchmark::State& state)
{
    static platform::ui::ScopedMainScreen screen(platform::ui::Screen::size320x568);
    registerNibs();
    platform::ui::ContactsStore::setAuthorizationStatus(
        platform::ui::ContactsAuthorizationStatus::Authorized);
    platform::ui::ContactsStore::setDeviceContacts(addressBook(int(state.range(0))));
    auto scheme = SearchView::contactSearchColourScheme();
    auto source = std::make_shared<AddressBookSearchViewTableDatasource>(scheme,
        EmptySearchResultsView::make(*scheme->emptyViewColourScheme(), "We will search your contacts."));
    bool loaded = false;
    source->fetchAllSearchItems([&loaded](const auto&, const auto&) { loaded = true; });
    platform::foundation::mainQueue().runUntil([&loaded] { return loaded; });
    source->setSearchTerm("a");
    std::size_t found = 0;
    for (auto _ : state) {
        source->search("a", [&found](const auto&, const SearchItems& items) { found = items->size(); });
        benchmark::DoNotOptimize(found);
    }
    perPair(state);
}

BENCHMARK_CAPTURE(filter, tenth_found, "a")->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(filter, none_found, "zq")->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(keystroke)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}
