#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/BankAccount.h"
#include "ZorvikAPI/models/Invoice.h"
#include "ZorvikAPI/models/VATRegistration.h"
#include "ZorvikAPI/tests/BackendFixture.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"
#include "testing/backend/ChangeRecorder.h"

#include <gtest/gtest.h>

namespace zorvik::api::test {
namespace {

using platform::foundation::Array;
using platform::foundation::ArrayRef;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Value;
using ::testing::ChangeRecorder;
using ::testing::ServerResponse;

DictionaryRef invoiceRecord(int identifier, std::string description)
{
    return Dictionary::make({
        { "id", identifier },
        { "description", std::move(description) },
        { "sent", "2015-01-02T10:00:00.000+0000" },
        { "folders", Array::make({ Dictionary::make({ { "name", "todo" } }) }) },
    });
}

class BusinessTest : public BackendTest {
protected:
    void SetUp() override
    {
        m_business.setRepository(repositoryAt("/api/freelancers/7/business"));
        m_business.record()->addObserver(m_recorder, "invoices");
    }

    /// Invoice descriptions in list order.
    std::vector<std::string> listed()
    {
        std::vector<std::string> descriptions;
        if (auto invoices = m_business.invoices()) {
            for (auto& invoice : *invoices)
                descriptions.push_back(invoice.dictionary()->get("description").stringValue());
        }
        return descriptions;
    }

    /// Blocks that add "ok" / "notFound" / "exists" / "error" to the events.
    Block event(std::string name)
    {
        return [this, name] { m_events.push_back(name); };
    }
    ErrorBlock errorEvent()
    {
        return [this](const platform::http::HttpError&) { m_events.push_back("error"); };
    }
    /// Runs the main queue until an outcome ("ok", "notFound", "exists", "error") is among the events.
    void settleEvents()
    {
        platform::foundation::mainQueue().runUntil([&] {
            for (auto& event : m_events) {
                if (event == "ok" || event == "notFound" || event == "exists" || event == "error")
                    return true;
            }
            return false;
        });
        platform::foundation::mainQueue().runUntilIdle();
    }

    Business m_business { Dictionary::make({ { "id", 3 }, { "name", "Ada Ltd" } }) };
    std::vector<std::string> m_events;
    std::shared_ptr<ChangeRecorder> m_recorder { std::make_shared<ChangeRecorder>(m_events) };
};

TEST_F(BusinessTest, SetLogoSavesOnlyTheLogo)
{
    EXPECT_EQ(m_business.logo(), std::nullopt);
    m_server.scriptNext(
        ServerResponse::json(200, Dictionary::make({ { "id", 3 }, { "logo", "http://img/1" } })));
    m_business.setLogo("http://img/1", event("ok"), event("notFound"), errorEvent());
    settleEvents();
    EXPECT_EQ(m_events, std::vector<std::string> { "ok" });
    EXPECT_EQ(lastRequest().method, "PUT");
    EXPECT_EQ(lastRequest().path, "/api/freelancers/7/business");
    EXPECT_EQ(lastRequest().json(), Value(Dictionary::make({ { "logo", "http://img/1" } })));
    EXPECT_EQ(m_business.logo(), "http://img/1");
    EXPECT_EQ(m_business.name(), "Ada Ltd");
}

TEST_F(BusinessTest, CreatesAndReadsItsVATRegistrationAndBankAccount)
{
    m_server.scriptNext(ServerResponse::json(
        201, Dictionary::make({ { "id", 1 }, { "is_registered", true }, { "registration_number", "GB1" } })));
    m_business.createVATRegistration(
        VATRegistration::withIsRegistered(true, "GB1"),
        [&](const VATRegistration&) { m_events.push_back("ok"); }, event("exists"), errorEvent());
    settleEvents();
    EXPECT_EQ(lastRequest().path, "/api/freelancers/7/business/3/vat-registration");
    EXPECT_EQ(lastRequest().json(),
        Value(Dictionary::make({ { "is_registered", true }, { "registration_number", "GB1" } })));
    ASSERT_TRUE(m_business.vatRegistration());
    EXPECT_TRUE(m_business.vatRegistration()->isRegistered());

    m_events.clear();
    m_server.scriptNext(ServerResponse::empty(422));
    m_business.createBankAccount(
        BankAccount::withAccountNumber("12345678", "12-34-56"),
        [&](const BankAccount&) { m_events.push_back("ok"); }, event("exists"), errorEvent());
    settleEvents();
    EXPECT_EQ(m_events, std::vector<std::string> { "exists" });
    EXPECT_EQ(lastRequest().path, "/api/freelancers/7/business/3/bank-account");
    EXPECT_FALSE(m_business.bankAccount());

    m_events.clear();
    m_server.scriptNext(ServerResponse::json(
        200, Dictionary::make({ { "account_number", "87654321" }, { "sort_code", "65-43-21" } })));
    std::string sortCode;
    m_business.bankAccount(
        [&](const BankAccount& account) {
            sortCode = account.sortCode();
            m_events.push_back("ok");
        },
        event("notFound"), errorEvent());
    settleEvents();
    EXPECT_EQ(m_events, std::vector<std::string> { "ok" });
    EXPECT_EQ(sortCode, "65-43-21");
    EXPECT_EQ(lastRequest().method, "GET");
    ASSERT_TRUE(m_business.bankAccount());
    EXPECT_EQ(m_business.bankAccount()->accountNumber(), "87654321");

    // A read answered with something other than a record is an error and stores nothing.
    m_events.clear();
    m_server.scriptNext(ServerResponse::json(200, Array::make()));
    m_business.vatRegistration(
        [&](const VATRegistration&) { m_events.push_back("ok"); }, event("notFound"), errorEvent());
    settleEvents();
    EXPECT_EQ(m_events, std::vector<std::string> { "error" });
    EXPECT_TRUE(m_business.vatRegistration()->isRegistered());
}

TEST_F(BusinessTest, ReadsTheInvoicesThatAreNotDeleted)
{
    m_server.scriptNext(
        ServerResponse::json(200, Array::make({ invoiceRecord(1, "first"), invoiceRecord(2, "second") })));
    ArrayRef found;
    m_business.invoices(
        [&](const ArrayRef& invoices) {
            found = invoices;
            m_events.push_back("ok");
        },
        event("notFound"), errorEvent());
    settleEvents();

    EXPECT_EQ(m_events, (std::vector<std::string> { "setting", "ok" }));
    auto request = lastRequest();
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.path, "/api/freelancers/7/business/3/invoices");
    EXPECT_EQ(request.queryValue("filter[where][is_deleted]"), "0");
    EXPECT_EQ(found, m_business.invoices());
    EXPECT_EQ(listed(), (std::vector<std::string> { "first", "second" }));

    m_events.clear();
    m_server.scriptNext(ServerResponse::empty(404));
    m_business.invoices([&](const ArrayRef&) { m_events.push_back("ok"); }, event("notFound"), errorEvent());
    settleEvents();
    EXPECT_EQ(m_events, std::vector<std::string> { "notFound" });
    EXPECT_EQ(listed(), (std::vector<std::string> { "first", "second" }));
}

TEST_F(BusinessTest, SendInvoiceInsertsTheSentInvoiceFirstAndAnnouncesIt)
{
    m_business.record()->set("invoices", Array::make({ invoiceRecord(1, "older") }));
    m_business.record()->set("address_line_1", "1 Lane");
    m_events.clear();
    Invoice invoice = Invoice::invoiceWithDescription(
        "Design", "INV-002", 1000, 1200, 30, Contact::withEmail("ada@example.com", m_business), std::nullopt);

    auto answer = invoiceRecord(2, "Design");
    m_server.scriptNext(ServerResponse::json(201, answer));
    std::optional<Invoice> sent;
    m_business.sendInvoice(
        invoice,
        [&](const Invoice& created) {
            sent = created;
            m_events.push_back("ok");
        },
        event("exists"), errorEvent());
    settleEvents();

    EXPECT_EQ(m_events, (std::vector<std::string> { "insertion 0", "ok" }));
    auto request = lastRequest();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/api/freelancers/7/business/3/invoices");
    auto from = request.json().dictionary()->get("from").dictionary();
    ASSERT_TRUE(from);
    EXPECT_EQ(from->get("contact"), Value("ada@example.com"));
    auto sender = from->get("business").dictionary();
    ASSERT_TRUE(sender);
    EXPECT_FALSE(sender->contains("invoices"));
    EXPECT_EQ(sender->get("address_line_1"), Value("1 Lane"));
    // The sender's own record keeps its list.
    EXPECT_EQ(listed(), (std::vector<std::string> { "Design", "older" }));
    ASSERT_TRUE(sent);
    EXPECT_EQ(m_business.invoices()->first().dictionary(), sent->record());
    EXPECT_NE(sent->record(), invoice.record());
    EXPECT_EQ(std::static_pointer_cast<RESTRepository>(sent->repository())->repositoryUrl(),
        m_server.url("/api/freelancers/7/business/3/invoices"));
}

TEST_F(BusinessTest, SendingTheFirstInvoiceCreatesTheList)
{
    Invoice invoice = Invoice::invoiceWithDescription(
        "Design", "1", 1000, 1000, 30, Contact::withEmail("ada@example.com", m_business), std::nullopt);
    m_server.scriptNext(ServerResponse::json(201, invoiceRecord(1, "Design")));
    m_business.sendInvoice(
        invoice, [&](const Invoice&) { m_events.push_back("ok"); }, event("exists"), errorEvent());
    settleEvents();
    EXPECT_EQ(m_events, (std::vector<std::string> { "setting", "insertion 0", "ok" }));
    EXPECT_EQ(listed(), std::vector<std::string> { "Design" });
}

TEST_F(BusinessTest, ASendThatFailsLeavesTheListAlone)
{
    m_business.record()->set("invoices", Array::make({ invoiceRecord(1, "older") }));
    m_events.clear();
    for (int status : { 422, 500 }) {
        SCOPED_TRACE(status);
        Invoice invoice = Invoice::invoiceWithDescription(
            "Design", "2", 1000, 1000, 30, Contact::withEmail("ada@example.com", m_business), std::nullopt);
        m_server.scriptNext(ServerResponse::empty(status));
        m_business.sendInvoice(
            invoice, [&](const Invoice&) { m_events.push_back("ok"); }, event("exists"), errorEvent());
        settleEvents();
        EXPECT_EQ(m_events, std::vector<std::string> { status == 422 ? "exists" : "error" });
        EXPECT_EQ(listed(), std::vector<std::string> { "older" });
        m_events.clear();
    }

    Invoice withoutSender = Invoice::invoice();
    m_server.clearRequests();
    m_business.sendInvoice(
        withoutSender, [&](const Invoice&) { m_events.push_back("ok"); }, event("exists"), errorEvent());
    settleEvents();
    EXPECT_EQ(m_events, std::vector<std::string> { "error" });
    EXPECT_EQ(m_server.requestCount(), 0u);
}

TEST_F(BusinessTest, DeleteRemovesEveryCopyAndAnnouncesTheirIndexes)
{
    auto doomed = invoiceRecord(1, "doomed");
    m_business.record()->set("invoices",
        Array::make({ doomed, invoiceRecord(2, "kept"), doomed->deepCopy(), invoiceRecord(3, "also kept") }));

    m_server.scriptNext(ServerResponse::empty(404));
    m_events.clear();
    m_business.deleteInvoice(Invoice(doomed), event("ok"), event("notFound"), errorEvent());
    settleEvents();
    EXPECT_EQ(m_events, std::vector<std::string> { "notFound" });
    EXPECT_EQ(listed().size(), 4u);

    m_server.scriptNext(ServerResponse::empty(204));
    m_events.clear();
    m_business.deleteInvoice(Invoice(doomed), event("ok"), event("notFound"), errorEvent());
    settleEvents();
    EXPECT_EQ(m_events, (std::vector<std::string> { "removal 0 2", "ok" }));
    EXPECT_EQ(lastRequest().method, "DELETE");
    EXPECT_EQ(lastRequest().path, "/api/freelancers/7/business/3/invoices/1");
    EXPECT_EQ(listed(), (std::vector<std::string> { "kept", "also kept" }));

    m_server.clearRequests();
    m_events.clear();
    m_business.deleteInvoice(Invoice(Dictionary::make({ { "description", "kept" } })), event("ok"),
        event("notFound"), errorEvent());
    settleEvents();
    EXPECT_EQ(m_events, std::vector<std::string> { "error" });
    EXPECT_EQ(m_server.requestCount(), 0u);
}

TEST_F(BusinessTest, MoveSendsTheHistoryWithTheNewFolderAndRefillsTheInvoice)
{
    auto moved = invoiceRecord(5, "moved");
    moved->set("local-note", "not on the server");
    m_business.record()->set("invoices", Array::make({ invoiceRecord(4, "first"), moved }));
    m_events.clear();

    auto answer = invoiceRecord(5, "moved");
    answer->get("folders").array()->append(Dictionary::make({ { "name", "done" }, { "date", "today" } }));
    m_server.scriptNext(ServerResponse::json(200, answer));
    m_business.moveInvoice(Invoice(moved), "done", event("ok"), event("notFound"), errorEvent());
    // The request is built at the call: a later change to the invoice does not reach it.
    moved->get("folders").array()->append(Dictionary::make({ { "name", "stray" } }));
    settleEvents();

    EXPECT_EQ(m_events, std::vector<std::string> { "ok" });
    auto request = lastRequest();
    EXPECT_EQ(request.method, "PUT");
    EXPECT_EQ(request.path, "/api/freelancers/7/business/3/invoices/5");
    EXPECT_EQ(request.json(),
        Value(Dictionary::make({
            { "id", 5 },
            { "sent", "2015-01-02T10:00:00.000+0000" },
            { "folders",
                Array::make(
                    { Dictionary::make({ { "name", "todo" } }), Dictionary::make({ { "name", "done" } }) }) },
        })));
    EXPECT_TRUE(moved->equals(*answer));
    EXPECT_FALSE(moved->contains("local-note"));
    EXPECT_EQ(listed(), (std::vector<std::string> { "first", "moved" }));
    EXPECT_EQ(m_business.invoices()->at(1).dictionary(), moved);
}

TEST_F(BusinessTest, AMoveAnsweredEmptyAppliesTheFoldersSent)
{
    auto moved = invoiceRecord(5, "moved");
    m_server.scriptNext(ServerResponse::empty(204));
    m_business.moveInvoice(Invoice(moved), "done", event("ok"), event("notFound"), errorEvent());
    settleEvents();
    EXPECT_EQ(m_events, std::vector<std::string> { "ok" });
    EXPECT_EQ(moved->get("folders").array()->size(), 2u);
    EXPECT_EQ(moved->get("description"), Value("moved"));

    m_events.clear();
    m_server.clearRequests();
    m_business.moveInvoice(Invoice(Dictionary::make()), "done", event("ok"), event("notFound"), errorEvent());
    settleEvents();
    EXPECT_EQ(m_events, std::vector<std::string> { "error" });
    EXPECT_EQ(m_server.requestCount(), 0u);
}

TEST(BusinessRecord, BuildsItsNameAndAddress)
{
    Business business
        = Business::withName("Acme", "01234567", "1 Road", "", "Leeds", "West Yorkshire", "LS1 1AA", "UK");
    EXPECT_EQ(business.record()->size(), 8u);
    EXPECT_EQ(business.registrationNumber(), "01234567");
    EXPECT_EQ(business.addressLine2(), "");
    EXPECT_EQ(business.town(), "Leeds");
    EXPECT_EQ(business.postCode(), "LS1 1AA");
    EXPECT_EQ(business.country(), "UK");
    EXPECT_EQ(business.repository(), nullptr);

    Business named = Business::withName("Typed In");
    EXPECT_EQ(named.record()->size(), 1u);
    EXPECT_EQ(named.county(), std::nullopt);
    EXPECT_EQ(named.logo(), std::nullopt);
    EXPECT_EQ(named.invoices(), nullptr);
}

}
}
