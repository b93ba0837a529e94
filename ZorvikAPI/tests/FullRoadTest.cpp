#include "ZorvikAPI/filters/DoneFilter.h"
#include "ZorvikAPI/filters/LateFilter.h"
#include "ZorvikAPI/filters/TodoFilter.h"
#include "ZorvikAPI/models/BankAccount.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/Contact.h"
#include "ZorvikAPI/models/Freelancer.h"
#include "ZorvikAPI/models/Invoice.h"
#include "ZorvikAPI/models/LineItem.h"
#include "ZorvikAPI/models/VATRegistration.h"
#include "ZorvikAPI/repositories/CompaniesHouse.h"
#include "ZorvikAPI/repositories/Repositories.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"
#include "testing/backend/BackendFixture.h"
#include "testing/backend/ChangeRecorder.h"
#include "testing/backend/OutcomeLog.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zorvik::api::test {
namespace {

using platform::foundation::Array;
using platform::foundation::ArrayRef;
using platform::foundation::DictionaryRef;
using platform::foundation::Value;
using ::testing::ChangeRecorder;
using ::testing::OutcomeLog;
using ::testing::settle;

using Events = std::vector<std::string>;
using Ids = std::vector<std::int64_t>;

constexpr double kDay = 86400;
constexpr std::string_view kEmail = "ada@example.com";

/// The identifiers of `invoices`, in list order.
Ids idsOf(const ArrayRef& invoices)
{
    Ids ids;
    if (invoices) {
        for (auto& invoice : *invoices)
            ids.push_back(invoice.dictionary()->get("id").integerValue());
    }
    return ids;
}

/// A line item of `quantity` at `unitPrice` pence and `tax` percent.
LineItem lineItem(std::string_view description, std::int64_t quantity, std::int64_t unitPrice, double tax)
{
    LineItem item = LineItem::lineItem();
    item.setDescriptionOfWork(description);
    item.setUnitPrice(unitPrice);
    item.setQuantity(quantity);
    item.setTax(tax);
    return item;
}

/// The path with each numeric segment written ":id".
std::string routeOf(const std::string& path)
{
    std::string route;
    std::size_t start = 1;
    while (start <= path.size()) {
        auto end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        auto segment = path.substr(start, end - start);
        bool numeric = !segment.empty() && std::isdigit(static_cast<unsigned char>(segment.front()));
        route += "/" + (numeric ? std::string(":id") : segment);
        start = end + 1;
    }
    return route;
}

class FullRoadTest : public ::testing::BackendFixture {
protected:
    /// Runs one call on `business`: `start` hands the log's blocks to it. The log holds what the observers
    /// of the business's "invoices" heard and the outcome, in the order they came.
    OutcomeLog step(const Business& business, const std::function<void(OutcomeLog& log)>& start)
    {
        OutcomeLog log;
        auto recorder = std::make_shared<ChangeRecorder>(log.outcomes);
        business.record()->addObserver(recorder, "invoices");
        start(log);
        settle(log);
        business.record()->removeObserver(recorder.get(), "invoices");
        return log;
    }

    /// The business's invoice calls, each run as one step.
    OutcomeLog readInvoices(const Business& business)
    {
        return step(business,
            [&](OutcomeLog& log) { business.invoices(log.list(), log.note("notFound"), log.failure()); });
    }

    OutcomeLog send(const Business& business, const Invoice& invoice)
    {
        return step(business, [&](OutcomeLog& log) {
            business.sendInvoice(invoice, log.typed<Invoice>(), log.note("exists"), log.failure());
        });
    }

    OutcomeLog move(const Business& business, const Invoice& invoice, std::string_view folder)
    {
        return step(business, [&](OutcomeLog& log) {
            business.moveInvoice(invoice, folder, log.note("ok"), log.note("notFound"), log.failure());
        });
    }

    OutcomeLog remove(const Business& business, const Invoice& invoice)
    {
        return step(business, [&](OutcomeLog& log) {
            business.deleteInvoice(invoice, log.note("ok"), log.note("notFound"), log.failure());
        });
    }

    /// A new invoice from `business` to a client of it.
    static Invoice invoiceFrom(const Business& business, std::string description, std::string reference,
        std::optional<std::int64_t> net, std::optional<std::int64_t> gross)
    {
        return Invoice::invoiceWithDescription(std::move(description), std::move(reference), net, gross, 30,
            Contact::withEmail(std::string(kEmail), business),
            Contact::withEmail("accounts@amberly.example", Business::withName("Amberly Joinery Ltd")));
    }

    /// The invoice `id` as the back-end stores it, or null.
    DictionaryRef storedInvoice(std::int64_t id)
    {
        auto invoices = backend().invoices();
        for (auto& invoice : *invoices) {
            if (invoice.dictionary()->get("id").integerValue() == id)
                return invoice.dictionary();
        }
        return nullptr;
    }

    /// A signed-up freelancer with a business and three invoices sent: their ids, newest first.
    Ids businessWithThreeInvoices(std::optional<Business>& business)
    {
        Freelancer ada = signUp(kEmail);
        business = createBusiness(ada, Business::withName("Ada Lovelace Design"));
        if (!business)
            return {};
        EXPECT_EQ(readInvoices(*business).outcomes, (Events { "setting", "ok" }));
        for (auto reference : { "INV-001", "INV-002", "INV-003" })
            EXPECT_EQ(send(*business, invoiceFrom(*business, "Work", reference, 100, 120)).outcomes,
                (Events { "insertion 0", "ok" }));
        return idsOf(business->invoices());
    }
};

TEST_F(FullRoadTest, AFreelancerSetsUpTheirBusinessAndKeepsTheirInvoicesOnTheBackEnd)
{
    // Sign-up; the same address again, in other case, is taken.
    EXPECT_EQ(createAccount(kEmail, "1234"), "ok");
    EXPECT_EQ(createAccount("ADA@example.com", "5678"), "exists");
    ASSERT_EQ(backend().freelancers()->size(), 1u);
    Value accountId = backend().freelancers()->first().dictionary()->get("id");

    // Log-in: the user's id lands in the record, which becomes the signed-in freelancer, and the token in
    // the session.
    Freelancer ada = freelancer(kEmail);
    ASSERT_EQ(logIn(ada, "1234"), "ok");
    EXPECT_EQ(ada.identifier(), accountId);
    ASSERT_TRUE(Freelancer::loggedInFreelancer());
    EXPECT_EQ(Freelancer::loggedInFreelancer()->record(), ada.record());
    const std::string signedInToken = token();
    ASSERT_FALSE(signedInToken.empty());

    // The company search goes through the same session, so the token reaches it too.
    OutcomeLog search;
    Repositories::sharedInstance().companiesHouse()->searchWithTerm(
        "joinery", search.list(), search.failure());
    settle(search);
    ASSERT_EQ(search.only(), "ok");
    EXPECT_EQ(search.answer.array()->size(), 1u);
    EXPECT_EQ(backend().lastRequest()->header("Authorization"), signedInToken);

    // No business yet; then one is created and read back.
    OutcomeLog missing;
    ada.business(missing.typed<Business>(), missing.note("notFound"), missing.failure());
    settle(missing);
    EXPECT_EQ(missing.only(), "notFound");
    auto created = createBusiness(ada,
        Business::withName("Ada Lovelace Design", "", "1 Engine Row", "", "London", "", "N1 9GU", "England"));
    ASSERT_TRUE(created);
    EXPECT_EQ(ada.business()->record(), created->record());
    ASSERT_EQ(backend().businesses()->size(), 1u);
    auto stored = backend().businesses()->first().dictionary();
    EXPECT_EQ(stored->get("freelancerId"), accountId);
    EXPECT_EQ(stored->get("post_code"), Value("N1 9GU"));

    OutcomeLog read;
    ada.business(read.typed<Business>(), read.note("notFound"), read.failure());
    settle(read);
    ASSERT_EQ(read.only(), "ok");
    ASSERT_TRUE(ada.business());
    Business business = *ada.business();
    EXPECT_EQ(business.identifier(), created->identifier());
    EXPECT_EQ(business.town(), "London");

    // VAT registration and bank account: created once, refused a second time, read back from the server.
    OutcomeLog vat;
    business.createVATRegistration(VATRegistration::withIsRegistered(true, "GB123456789"),
        vat.typed<VATRegistration>(), vat.note("exists"), vat.failure());
    settle(vat);
    EXPECT_EQ(vat.only(), "ok");
    OutcomeLog vatAgain;
    business.createVATRegistration(VATRegistration::withIsRegistered(false, "GB000000000"),
        vatAgain.typed<VATRegistration>(), vatAgain.note("exists"), vatAgain.failure());
    settle(vatAgain);
    EXPECT_EQ(vatAgain.only(), "exists");
    OutcomeLog bank;
    business.createBankAccount(BankAccount::withAccountNumber("12345678", "12-34-56"),
        bank.typed<BankAccount>(), bank.note("exists"), bank.failure());
    settle(bank);
    EXPECT_EQ(bank.only(), "ok");
    stored = backend().businesses()->first().dictionary();
    EXPECT_EQ(stored->get("vat-registration").dictionary()->get("registration_number"), Value("GB123456789"));
    EXPECT_EQ(stored->get("bank-account").dictionary()->get("sort_code"), Value("12-34-56"));

    business.record()->remove("vat-registration");
    business.record()->remove("bank-account");
    OutcomeLog vatRead;
    business.vatRegistration(vatRead.typed<VATRegistration>(), vatRead.note("notFound"), vatRead.failure());
    settle(vatRead);
    EXPECT_EQ(vatRead.only(), "ok");
    ASSERT_TRUE(business.vatRegistration());
    EXPECT_TRUE(business.vatRegistration()->isRegistered());
    EXPECT_EQ(business.vatRegistration()->registrationNumber(), "GB123456789");
    OutcomeLog bankRead;
    business.bankAccount(bankRead.typed<BankAccount>(), bankRead.note("notFound"), bankRead.failure());
    settle(bankRead);
    EXPECT_EQ(bankRead.only(), "ok");
    ASSERT_TRUE(business.bankAccount());
    EXPECT_EQ(business.bankAccount()->accountNumber(), "12345678");

    // The invoice list starts empty; a read stores it whole.
    EXPECT_EQ(readInvoices(business).outcomes, (Events { "setting", "ok" }));
    EXPECT_EQ(idsOf(business.invoices()), Ids {});

    // Three invoices, sent an hour apart: each goes to the top of the list, its "sent" the clock's time.
    Invoice withItems = invoiceFrom(business, "Workshop fit-out", "INV-002", std::nullopt, std::nullopt);
    withItems.setLineItems(
        Array::make({ lineItem("Shelving", 3, 111, 20).record(), lineItem("Labour", 2, 2500, 0).record() }));
    const std::vector<Invoice> toSend { invoiceFrom(business, "Kitchen cabinets", "INV-001", 50000, 60000),
        withItems, invoiceFrom(business, "Repairs", "INV-003", 12000, 14400) };
    Ids sentIds;
    std::vector<platform::foundation::Date> sentDates;
    for (auto& invoice : toSend) {
        SCOPED_TRACE(invoice.reference());
        platform::foundation::mainQueue().advance(3600);
        auto sent = send(business, invoice);
        ASSERT_EQ(sent.outcomes, (Events { "insertion 0", "ok" }));
        Invoice answer(sent.answer.dictionary());
        sentIds.insert(sentIds.begin(), answer.identifier().integerValue());
        sentDates.insert(sentDates.begin(), platform::foundation::now());
        EXPECT_EQ(idsOf(business.invoices()), sentIds);
        EXPECT_EQ(business.invoices()->first().dictionary(), answer.record());
        EXPECT_EQ(answer.sent(), platform::foundation::now());
        EXPECT_EQ(answer.reference(), invoice.reference());
        // The sender's business goes without its own invoice list.
        auto sender = storedInvoice(sentIds.front())->get("from").dictionary()->get("business").dictionary();
        EXPECT_EQ(sender->get("name"), Value("Ada Lovelace Design"));
        EXPECT_FALSE(sender->contains("invoices"));
    }
    EXPECT_EQ(business.invoices()->size(), 3u);

    // A reference used already is refused: the list stays and its observers hear nothing.
    EXPECT_EQ(send(business, invoiceFrom(business, "Again", "INV-002", 1, 1)).outcomes, Events { "exists" });
    EXPECT_EQ(idsOf(business.invoices()), sentIds);
    EXPECT_EQ(backend().invoices()->size(), 3u);
    // So is a send that the server fails.
    backend().failRoute("POST", "/api/freelancers/:freelancer/business/:business/invoices", 500, 1);
    auto failed = send(business, invoiceFrom(business, "Failed", "INV-004", 1, 1));
    EXPECT_EQ(failed.outcomes, Events { "error" });
    EXPECT_EQ(failed.error.statusCode(), 500);
    EXPECT_EQ(idsOf(business.invoices()), sentIds);

    // Read back: newest first, as sent, all to do.
    EXPECT_EQ(readInvoices(business).outcomes, (Events { "setting", "ok" }));
    ArrayRef list = business.invoices();
    ASSERT_EQ(idsOf(list), sentIds);
    for (std::size_t index = 0; index < list->size(); ++index) {
        Invoice invoice(list->at(index).dictionary());
        EXPECT_EQ(invoice.sent(), sentDates[index]);
        ASSERT_TRUE(invoice.to() && invoice.to()->business());
        EXPECT_EQ(invoice.to()->business()->name(), "Amberly Joinery Ltd");
        EXPECT_EQ(invoice.repository(), nullptr);
    }
    Invoice itemised(list->at(1).dictionary());
    EXPECT_EQ(itemised.descriptionOfWork(), "Workshop fit-out");
    ASSERT_EQ(itemised.lineItems()->size(), 2u);
    EXPECT_EQ(LineItem(itemised.lineItems()->first().dictionary()).grossAmount(), 399);
    EXPECT_EQ(itemised.netAmount(), 333 + 5000);
    EXPECT_EQ(itemised.grossAmount(), 399 + 5000);
    EXPECT_EQ(Invoice(list->at(2).dictionary()).grossAmount(), 60000);
    EXPECT_EQ(TodoFilter().filterInvoices(list)->size(), 3u);
    EXPECT_TRUE(DoneFilter().filterInvoices(list)->empty());

    // Move the middle one to Done and back: the invoice is refilled in place, the list keeps its order and
    // announces nothing.
    EXPECT_EQ(move(business, itemised, "done").outcomes, Events { "ok" });
    EXPECT_EQ(idsOf(business.invoices()), sentIds);
    EXPECT_EQ(business.invoices()->at(1).dictionary(), itemised.record());
    EXPECT_EQ(itemised.folders()->size(), 2u);
    EXPECT_EQ(idsOf(DoneFilter().filterInvoices(list)), Ids { sentIds[1] });
    EXPECT_EQ(idsOf(TodoFilter().filterInvoices(list)), (Ids { sentIds[0], sentIds[2] }));
    auto storedFolders = storedInvoice(sentIds[1])->get("folders").array();
    ASSERT_EQ(storedFolders->size(), 2u);
    EXPECT_EQ(storedFolders->last().dictionary()->get("name"), Value("done"));
    EXPECT_EQ(itemised.record()->get("folders"), Value(storedFolders));

    EXPECT_EQ(move(business, itemised, "todo").outcomes, Events { "ok" });
    EXPECT_EQ(itemised.folders()->size(), 3u);
    EXPECT_EQ(idsOf(TodoFilter().filterInvoices(business.invoices())), sentIds);
    EXPECT_EQ(storedInvoice(sentIds[1])->get("folders").array()->size(), 3u);

    // Delete the middle one: it leaves the list at its index, and the back-end marks it deleted.
    EXPECT_EQ(remove(business, itemised).outcomes, (Events { "removal 1", "ok" }));
    EXPECT_EQ(idsOf(business.invoices()), (Ids { sentIds[0], sentIds[2] }));
    EXPECT_EQ(storedInvoice(sentIds[1])->get("is_deleted"), Value(true));
    EXPECT_EQ(remove(business, itemised).outcomes, Events { "notFound" });
    EXPECT_EQ(readInvoices(business).outcomes, (Events { "setting", "ok" }));
    EXPECT_EQ(idsOf(business.invoices()), (Ids { sentIds[0], sentIds[2] }));

    // The token went with every request on a freelancer's routes, and the road used every one of them.
    std::set<std::string> routes;
    for (auto& request : backend().requests()) {
        if (!request.path.starts_with("/api/freelancers/") || request.path == "/api/freelancers/login")
            continue;
        EXPECT_EQ(request.header("Authorization"), signedInToken) << request.method << " " << request.path;
        routes.insert(request.method + " " + routeOf(request.path));
    }
    EXPECT_EQ(routes,
        (std::set<std::string> {
            "GET /api/freelancers/:id/business",
            "POST /api/freelancers/:id/business",
            "GET /api/freelancers/:id/business/:id/vat-registration",
            "POST /api/freelancers/:id/business/:id/vat-registration",
            "GET /api/freelancers/:id/business/:id/bank-account",
            "POST /api/freelancers/:id/business/:id/bank-account",
            "GET /api/freelancers/:id/business/:id/invoices",
            "POST /api/freelancers/:id/business/:id/invoices",
            "PUT /api/freelancers/:id/business/:id/invoices/:id",
            "DELETE /api/freelancers/:id/business/:id/invoices/:id",
        }));
}

TEST_F(FullRoadTest, AWrongPinIsRefusedAndSigningOutDropsTheToken)
{
    // A wrong PIN before any log-in: bad credentials, and still no token.
    ASSERT_EQ(createAccount(kEmail, "1234"), "ok");
    Freelancer ada = freelancer(kEmail);
    EXPECT_EQ(logIn(ada, "9999"), "failed");
    EXPECT_EQ(token(), "");
    EXPECT_FALSE(Freelancer::loggedInFreelancer());
    EXPECT_FALSE(ada.record()->contains("id"));

    ASSERT_EQ(logIn(ada, "1234"), "ok");
    const std::string signedInToken = token();
    ASSERT_FALSE(signedInToken.empty());

    // A wrong PIN, or an unknown address, while signed in: refused, and the session stays as it was.
    struct Attempt {
        std::string_view email;
        std::string_view pin;
    };
    for (auto attempt : { Attempt { kEmail, "0000" }, Attempt { "bea@example.com", "1234" } }) {
        SCOPED_TRACE(std::string(attempt.email) + " " + std::string(attempt.pin));
        Freelancer other = freelancer(attempt.email);
        EXPECT_EQ(logIn(other, attempt.pin), "failed");
        EXPECT_EQ(backend().lastRequest()->path, "/api/freelancers/login");
        EXPECT_FALSE(other.record()->contains("id"));
        EXPECT_EQ(Freelancer::loggedInFreelancer()->record(), ada.record());
        EXPECT_EQ(token(), signedInToken);
    }
    ASSERT_TRUE(createBusiness(ada, Business::withName("Ada Ltd")));

    // Signing out: no token and no signed-in freelancer, so the back-end refuses the next call.
    Freelancer::logOut();
    EXPECT_EQ(token(), "");
    EXPECT_FALSE(Freelancer::loggedInFreelancer());
    OutcomeLog refused;
    ada.business(refused.typed<Business>(), refused.note("notFound"), refused.failure());
    settle(refused);
    EXPECT_EQ(refused.only(), "error");
    EXPECT_EQ(refused.error.statusCode(), 401);
    auto request = backend().lastRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->path, "/api/freelancers/" + ada.identifier().stringValue() + "/business");
    EXPECT_EQ(request->header("Authorization"), std::nullopt);

    // Logging in again opens the way with a new token.
    ASSERT_EQ(logIn(ada, "1234"), "ok");
    EXPECT_NE(token(), signedInToken);
    OutcomeLog again;
    ada.business(again.typed<Business>(), again.note("notFound"), again.failure());
    settle(again);
    EXPECT_EQ(again.only(), "ok");
    EXPECT_EQ(ada.business()->name(), "Ada Ltd");
}

TEST_F(FullRoadTest, TheLateFilterPicksAnInvoiceSentThirtyOneDaysBack)
{
    std::optional<Business> business;
    Ids ids = businessWithThreeInvoices(business);
    ASSERT_EQ(ids.size(), 3u);
    LateFilter late;
    EXPECT_TRUE(late.filterInvoices(business->invoices())->empty());

    auto now = platform::foundation::now();
    ASSERT_TRUE(backend().setInvoiceSent(ids[2], now.addingSeconds(-31 * kDay)));
    ASSERT_TRUE(backend().setInvoiceSent(ids[1], now.addingSeconds(-29 * kDay)));
    EXPECT_EQ(readInvoices(*business).outcomes, (Events { "setting", "ok" }));
    EXPECT_EQ(idsOf(late.filterInvoices(business->invoices())), Ids { ids[2] });

    // Two days on, the invoice sent 29 days back is late too.
    platform::foundation::mainQueue().advance(2 * kDay);
    EXPECT_EQ(idsOf(late.filterInvoices(business->invoices())), (Ids { ids[1], ids[2] }));

    // Done is never late.
    Invoice oldest(business->invoices()->at(2).dictionary());
    EXPECT_EQ(move(*business, oldest, "done").outcomes, Events { "ok" });
    EXPECT_EQ(idsOf(late.filterInvoices(business->invoices())), Ids { ids[1] });
}

TEST_F(FullRoadTest, CompanySearchTurnsTheRegisterHitsIntoBusinesses)
{
    using Fields = std::vector<std::string>;
    auto fieldsOf = [](const Business& hit) {
        return Fields { hit.name().value_or("(none)"), hit.registrationNumber().value_or("(none)"),
            hit.addressLine1().value_or("(none)"), hit.addressLine2().value_or("(none)"),
            hit.town().value_or("(none)"), hit.county().value_or("(none)"), hit.postCode().value_or("(none)"),
            hit.country().value_or("(none)") };
    };
    struct Case {
        std::string term;
        std::vector<Fields> hits;
    };
    const std::vector<Case> cases {
        { "amberly",
            { { "Amberly Joinery Ltd", "07431982", "Unit 4 Sawmill Yard", "Hatch Lane", "Tewkesbury",
                  "Gloucestershire", "GL20 5QX", "England" },
                // The register knows no line 2.
                { "Amberly Print & Design Ltd", "09218374", "12 Fountain Street", "", "Leeds",
                    "West Yorkshire", "LS1 4TY", "England" } } },
        // No county, found by its number.
        { "SC412987",
            { { "Calderbrook Consulting Ltd", "SC412987", "45 Thistle Street", "Second Floor", "Edinburgh",
                "", "EH2 1DY", "Scotland" } } },
        // Neither.
        { "larchmont tiling",
            { { "Larchmont Tiling Ltd", "08345671", "9 Ashgrove Terrace", "", "Swansea", "", "SA1 6HF",
                "Wales" } } },
        { "no such company", {} },
    };
    auto companies = Repositories::sharedInstance().companiesHouse();
    ASSERT_TRUE(companies);
    for (auto& testCase : cases) {
        SCOPED_TRACE(testCase.term);
        OutcomeLog log;
        companies->searchWithTerm(testCase.term, log.list("results"), log.failure());
        settle(log);
        ASSERT_EQ(log.only(), "results");
        EXPECT_EQ(backend().lastRequest()->queryValue("search_term"), testCase.term);
        std::vector<Fields> hits;
        for (auto& hit : *log.answer.array()) {
            Business business(hit.dictionary());
            EXPECT_TRUE(CompaniesHouse::isBusinessRegisteredWithCompaniesHouse(business));
            EXPECT_EQ(business.repository(), nullptr);
            hits.push_back(fieldsOf(business));
        }
        EXPECT_EQ(hits, testCase.hits);
    }
}

}
}
