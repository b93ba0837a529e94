#include "testing/backend/CompanyRegister.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "testing/backend/Text.h"

#include <string>

namespace testing {

using platform::foundation::Array;
using platform::foundation::ArrayRef;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;

namespace {

struct Company {
    const char* name;
    const char* number;
    const char* line1;
    const char* line2;
    const char* town;
    const char* county;
    const char* postCode;
    const char* country;
};

// A null line 2 or county leaves the key out of the company.
constexpr Company kCompanies[] = {
    { "Amberly Joinery Ltd", "07431982", "Unit 4 Sawmill Yard", "Hatch Lane", "Tewkesbury", "Gloucestershire",
        "GL20 5QX", "England" },
    { "Amberly Print & Design Ltd", "09218374", "12 Fountain Street", nullptr, "Leeds", "West Yorkshire",
        "LS1 4TY", "England" },
    { "Bramblewick Bakery Limited", "06655120", "The Old Granary", "Mill Road", "Whitby", "North Yorkshire",
        "YO21 3HQ", "England" },
    { "Calderbrook Consulting Ltd", "SC412987", "45 Thistle Street", "Second Floor", "Edinburgh", nullptr,
        "EH2 1DY", "Scotland" },
    { "Copperfinch Software Ltd", "10384756", "Studio 9", "88 Hoxley Road", "London", nullptr, "E2 8NP",
        "England" },
    { "Dunmere Plumbing & Heating Ltd", "08871234", "3 Quarry Close", nullptr, "Bodmin", "Cornwall",
        "PL31 2RT", "England" },
    { "Elderwood Garden Design Ltd", "11029384", "Rose Cottage", "Church Street", "Ludlow", "Shropshire",
        "SY8 1AW", "England" },
    { "Fernhollow Architects LLP", "OC398712", "The Courtyard", "17 Market Place", "Hexham", "Northumberland",
        "NE46 3NX", "England" },
    { "Glaslyn Electrical Services Ltd", "09982211", "Unit 2 Porth Industrial Estate", nullptr, "Porthmadog",
        "Gwynedd", "LL49 9DE", "Wales" },
    { "Harrowgate Bicycle Works Ltd", "07765432", "22 Station Approach", nullptr, "Cambridge",
        "Cambridgeshire", "CB1 2JW", "England" },
    { "Inglewood Translation Services Ltd", "10876543", "Flat 3", "61 Queen Anne Road", "Bristol", nullptr,
        "BS5 9PL", "England" },
    { "Juniper Lane Photography Ltd", "11567890", "4 Juniper Lane", nullptr, "Harrogate", "North Yorkshire",
        "HG1 5BT", "England" },
    { "Kestrel Point Marketing Ltd", "SC501234", "Suite 5", "200 Bothwell Street", "Glasgow", nullptr,
        "G2 7EQ", "Scotland" },
    { "Larchmont Tiling Ltd", "08345671", "9 Ashgrove Terrace", nullptr, "Swansea", nullptr, "SA1 6HF",
        "Wales" },
    { "Millbeck Accountancy Ltd", "06123987", "Millbeck House", "2 Beck Street", "Kendal", "Cumbria",
        "LA9 4QA", "England" },
    { "Northwold Web Studio Ltd", "12098765", "The Loft", "7 Chapel Walk", "Norwich", "Norfolk", "NR2 1NR",
        "England" },
    { "Oakhurst Removals Ltd", "07012345", "Oakhurst Depot", "Brook Industrial Park", "Reading", "Berkshire",
        "RG2 0QA", "England" },
    { "Pennyroyal Catering Ltd", "NI612345", "14 Linen Row", nullptr, "Belfast", "County Antrim", "BT1 6DN",
        "Northern Ireland" },
    { "Quillon Legal Services Ltd", "09456781", "3rd Floor, Wren House", "31 Fleetside", "London", nullptr,
        "EC4A 2BB", "England" },
    { "Redfern & Hale Carpentry Ltd", "10234876", "The Workshop", "Orchard Farm", "Crediton", "Devon",
        "EX17 4LP", "England" },
};

}

ArrayRef CompanyRegister::fixture()
{
    auto companies = Array::make();
    for (const auto& company : kCompanies) {
        auto record = Dictionary::make({ { "companyName", company.name },
            { "registrationNumber", company.number }, { "addressLine1", company.line1 },
            { "postTown", company.town }, { "postCode", company.postCode }, { "country", company.country } });
        if (company.line2)
            record->set("addressLine2", company.line2);
        if (company.county)
            record->set("county", company.county);
        companies->append(record);
    }
    return companies;
}

ArrayRef CompanyRegister::search(const Array& companies, std::string_view term)
{
    auto hits = Array::make();
    auto wanted = lowercase(trimmed(term));
    if (wanted.empty())
        return hits;
    for (const auto& company : companies) {
        auto record = company.dictionary();
        if (!record)
            continue;
        bool nameMatches
            = lowercase(record->get("companyName").stringValue()).find(wanted) != std::string::npos;
        bool numberMatches = lowercase(record->get("registrationNumber").stringValue()) == wanted;
        if (!nameMatches && !numberMatches)
            continue;
        auto hit = record->deepCopy();
        for (const char* key : { "companyName", "registrationNumber", "addressLine1", "addressLine2",
                 "postTown", "county", "postCode", "country" }) {
            if (hit->get(key).isNull())
                hit->set(key, "");
        }
        hits->append(hit);
    }
    return hits;
}

}
