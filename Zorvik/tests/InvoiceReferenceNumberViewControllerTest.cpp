#include "Zorvik/ViewControllers/InvoiceReferenceNumberViewController/InvoiceReferenceNumberViewController.h"

#include "Zorvik/Views/InvoiceReferenceNumberView/InvoiceReferenceNumberFormView.h"
#include "Zorvik/Views/InvoiceReferenceNumberView/InvoiceReferenceNumberView.h"
#include "Zorvik/Views/InvoiceReferenceNumberView/InvoiceReferenceTextFields.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/UIView/ViewHolder.h"
#include "Zorvik/tests/EditorHost.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Array.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using platform::foundation::Array;
using platform::foundation::ArrayRef;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

/// Invoices numbered by (prefix, counter), newest first.
ArrayRef invoices(std::initializer_list<std::pair<const char*, const char*>> references)
{
    auto list = Array::make();
    for (const auto& [prefix, counter] : references) {
        auto invoice = api::Invoice::invoice();
        invoice.setReferencePrefix(prefix, counter);
        list->append(invoice.record());
    }
    return list;
}

/// The reference editor opened from the host screen over a business whose invoices are A/005 (newest)
/// and B/002.
class InvoiceReferenceNumberViewControllerTest : public EditorHostTest {
protected:
    void open(const char* prefix, const char* counter, bool readOnly = false)
    {
        editor = host->openReference(api::Reference::referenceWithPrefix(prefix, counter),
            invoices({ { "A", "005" }, { "B", "002" } }), readOnly);
        advance(0.3);
        layout();
    }

    InvoiceReferenceNumberFormView& panel() { return *editor->invoiceReferenceNumberView()->panel(); }
    std::string editingMessage() { return panel().editingViewInfoLabel()->text().value_or(""); }
    std::string restingMessage() { return panel().nonEditingViewInfoLabel()->text().value_or(""); }
    bool canSave() { return panel().navigationBar()->positiveButton()->isEnabled(); }

    /// Replaces the text of the field being edited.
    void retype(const std::string& text)
    {
        driver.deleteBackward(12);
        driver.type(text);
    }

    std::shared_ptr<InvoiceReferenceNumberViewController> editor;
};

TEST_F(InvoiceReferenceNumberViewControllerTest, SlidesUpOverTheDimmedScreenAndShowsTheNextNumber)
{
    open("A", "006");
    EXPECT_DOUBLE_EQ(
        platform::ui::Animation::presentationAlpha(*editor->invoiceReferenceNumberView()->shadowView()), 0.5);
    EXPECT_EQ(editor->invoiceReferenceNumberView()->formView()->frame().maxY(), 568);
    EXPECT_EQ(panel().navigationBar()->text(), "Invoice number");
    EXPECT_EQ(panel().referencePreviewTextField()->text(), "A006");
    EXPECT_EQ(restingMessage(), "The next invoice number after this: \n#A007");
    EXPECT_TRUE(panel().editingView()->isHidden());
}

TEST_F(InvoiceReferenceNumberViewControllerTest, TheNextNumberKeepsTheCounterWidth)
{
    for (auto [counter, next] : { std::pair { "0041", "#INV-0042" }, { "99", "#INV-100" } }) {
        open("INV-", counter);
        EXPECT_THAT(restingMessage(), HasSubstr(next));
        tap("dimmed area");
        advance(0.3);
    }
}

TEST_F(InvoiceReferenceNumberViewControllerTest, ChecksEveryKeyAgainstTheInvoices)
{
    open("A", "006");
    tap("change");
    EXPECT_FALSE(panel().editingView()->isHidden());
    EXPECT_TRUE(panel().isEditing());
    tap("A");
    struct Step {
        const char* field;
        const char* text;
        bool valid;
        const char* message;
    };
    const Step steps[] = {
        { "prefix", "C", true, "The next invoice number after this: \n#C002" },
        { "counter", "0", true, "The next invoice number after this: \n#C1" },
        { "prefix", "B", true, "The next invoice number after this: \n#B004" },
        { "counter", "2", false, "B2 has already been used. Please choose a number higher than #B002." },
        { "counter", "001", false, "B001 has already been used. Please choose a number higher than #B002." },
        { "counter", "012", true, "The next invoice number after this: \n#B013" },
        { "counter", "", false, "B has already been used. Please choose a number higher than #B002." },
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(std::string(step.field) + " " + step.text);
        auto field = std::string(step.field) == "prefix"
            ? std::static_pointer_cast<platform::ui::TextField>(panel().referencePrefixTextField())
            : std::static_pointer_cast<platform::ui::TextField>(panel().referenceNumberTextField());
        if (!field->isFirstResponder())
            field->becomeFirstResponder();
        retype(step.text);
        EXPECT_EQ(canSave(), step.valid);
        EXPECT_EQ(editingMessage(), step.message);
    }
    EXPECT_EQ(panel().referenceNumberTextField()->text(), "");
}

TEST_F(InvoiceReferenceNumberViewControllerTest, AnUnusedPrefixStartsAtOne)
{
    open("A", "006");
    tap("change");
    tap("A");
    retype("NEW");
    EXPECT_EQ(panel().referencePrefixTextField()->text(), "NEW");
    EXPECT_EQ(panel().referenceNumberTextField()->text(), "001");
    EXPECT_TRUE(canSave());
}

TEST_F(InvoiceReferenceNumberViewControllerTest, FieldsTakeNothingPastTheirLimits)
{
    open("A", "006");
    tap("change");
    driver.type("abc");
    EXPECT_FALSE(driver.paste("12a"));
    EXPECT_EQ(panel().referenceNumberTextField()->text(), "006") << "the counter takes digits only";
    EXPECT_EQ(driver.type("1234567"), 6u);
    EXPECT_EQ(panel().referenceNumberTextField()->text(), "006123456");
    EXPECT_FALSE(driver.paste("7"));
    EXPECT_EQ(panel().referenceNumberTextField()->text(), "006123456");

    tap("A");
    EXPECT_FALSE(driver.paste("ABCDEFGHIJ")) << "a paste past 10 characters";
    EXPECT_TRUE(driver.paste("BCDEFGHIJ"));
    EXPECT_EQ(panel().referencePrefixTextField()->text(), "ABCDEFGHIJ");
    EXPECT_EQ(driver.deleteBackward(), 1u);
}

TEST_F(InvoiceReferenceNumberViewControllerTest, SaveHandsTheReferenceOnAndKeepsThePanel)
{
    open("A", "006");
    tap("change");
    retype("010");
    tap("save");
    EXPECT_THAT(host->savedReferences, ElementsAre("A|010"));
    EXPECT_EQ(host->presentedViewController(), editor);
    EXPECT_FALSE(panel().isEditing());
    EXPECT_TRUE(panel().editingView()->isHidden());
    EXPECT_EQ(panel().referencePreviewTextField()->text(), "A010");

    tap("change");
    retype("020");
    tap("cancel");
    EXPECT_EQ(panel().referenceNumberTextField()->text(), "010") << "back to the last saved reference";
    EXPECT_EQ(restingMessage(), "The next invoice number after this: \n#A011");
    EXPECT_THAT(host->savedReferences, ElementsAre("A|010"));

    tap("done");
    advance(0.15);
    EXPECT_EQ(host->presentedViewController(), editor) << "still sliding away";
    advance(0.15);
    EXPECT_FALSE(host->presentedViewController());
    EXPECT_THAT(host->savedReferences, ElementsAre("A|010")) << "closing sends nothing";
}

TEST_F(InvoiceReferenceNumberViewControllerTest, ATouchOnTheDimmedAreaClosesTheEditor)
{
    open("A", "006");
    tap("dimmed area");
    advance(0.29);
    EXPECT_EQ(host->presentedViewController(), editor);
    advance(0.01);
    EXPECT_FALSE(host->presentedViewController());
    EXPECT_TRUE(host->savedReferences.empty());
}

TEST_F(InvoiceReferenceNumberViewControllerTest, TheReadOnlyEditorOnlyShowsTheReference)
{
    open("A", "005", true);
    EXPECT_EQ(panel().referencePreviewTextField()->text(), "A005");
    EXPECT_TRUE(panel().nonEditingViewInfoLabel()->isHidden());
    EXPECT_FALSE(panel().showEditingViewButton()->isEnabled());
    EXPECT_THROW(driver.tap("change"), platform::ui::ScreenDriverError);
    tap("done");
    advance(0.3);
    EXPECT_FALSE(host->presentedViewController());
}

}
}
