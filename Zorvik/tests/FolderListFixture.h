#pragma once

#include "Zorvik/Views/FolderView/EmptyFolderViewObjc.h"
#include "Zorvik/Views/FolderView/FolderViewObjc.h"
#include "Zorvik/Views/FolderView/InvoiceTableCellDelegate.h"
#include "Zorvik/Views/FolderView/InvoiceTableCellViewProviders.h"
#include "Zorvik/Views/FoldersView/FoldersControllerProtocol.h"
#include "Zorvik/Views/Nibs/Nibs.h"
#include "Zorvik/tests/FrameFixture.h"
#include "ZorvikAPI/filters/DoneFilter.h"
#include "ZorvikAPI/filters/TodoFilter.h"
#include "ZorvikAPI/foundation_categories/ServerDate.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Dictionary.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace zorvik::test {

/// Writes down what the folder lists ask of the home screen: "move <id> to <folder>", "show <id>".
class FolderJournal : public InvoiceTableCellDelegate, public FoldersControllerProtocol {
public:
    void moveInvoice(const platform::foundation::DictionaryRef& invoice, const std::string& folder) override
    {
        entries.push_back("move " + invoice->get("id").stringValue() + " to " + folder);
    }
    void createInvoice() override { entries.push_back("create"); }
    void showInvoice(const platform::foundation::DictionaryRef& invoice) override
    {
        entries.push_back("show " + invoice->get("id").stringValue());
    }
    void showSettings() override { entries.push_back("settings"); }
    void showInvoiceSummary() override { entries.push_back("summary"); }

    std::vector<std::string> entries;
};

/// A phone with the app's nibs and pictures, and invoices made to order for the folder lists.
class FolderListTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        platform::foundation::Files::setBundleDirectory(
            std::filesystem::path(ZORVIK_REPOSITORY_DIR) / "resources");
        registerNibs();
    }

    /// An invoice "id" sent `daysAgo` days before now, to "Acme Ltd", for `pence`, whose folder history holds
    /// one entry per name of `history` (dated an hour apart from the sending on).
    static platform::foundation::DictionaryRef invoice(
        int id, double daysAgo, std::vector<std::string> history = { "todo" }, std::int64_t pence = 12345)
    {
        using namespace platform::foundation;
        Date sent = now().addingSeconds(-daysAgo * 86400);
        auto folders = Array::make();
        double hours = 0;
        for (auto& name : history)
            folders->append(Dictionary::make({ { "name", name },
                { "date", api::toServerDateString(sent.addingSeconds(3600 * hours++)) } }));
        return Dictionary::make({ { "id", id }, { "description", "Work " + std::to_string(id) },
            { "gross_amount", pence }, { "net_amount", pence }, { "sent", api::toServerDateString(sent) },
            { "to", Dictionary::make({ { "business", Dictionary::make({ { "name", "Acme Ltd" } }) } }) },
            { "folders", folders } });
    }

    /// The list of `invoices`.
    static platform::foundation::ArrayRef list(std::vector<platform::foundation::DictionaryRef> invoices)
    {
        auto made = platform::foundation::Array::make();
        for (auto& invoice : invoices)
            made->append(invoice);
        return made;
    }

    /// A To-Do (or Done) list whose rows and taps go to `journal`, shown in the window below a 64-point bar.
    std::shared_ptr<FolderViewObjc> showFolder(bool todo)
    {
        std::shared_ptr<FolderViewObjc> folder;
        if (todo)
            folder = FolderViewObjc::make(EmptyFolderSentViewObjc::make(),
                std::make_shared<SentInvoiceTableCellViewProviderObjc>(journal),
                std::make_shared<api::TodoFilter>());
        else
            folder = FolderViewObjc::make(EmptyFolderDoneViewObjc::make(),
                std::make_shared<PaidInvoiceTableCellViewProviderObjc>(journal),
                std::make_shared<api::DoneFilter>());
        folder->setDelegate(journal);
        folder->setFrame({ 0, 64, 320, 504 });
        window->addSubview(folder);
        layout();
        return folder;
    }

    std::shared_ptr<FolderJournal> journal { std::make_shared<FolderJournal>() };
};

}
