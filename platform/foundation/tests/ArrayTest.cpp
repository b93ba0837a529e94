#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace platform::foundation;

TEST(Array, TwoHoldersSeeOneChange)
{
    auto array = Array::make({ 1, 2 });
    Value held = array;
    array->append("three");
    ASSERT_EQ(held.array()->size(), 3u);
    EXPECT_EQ(*held.array()->at(2).string(), "three");
}

TEST(Array, EditsInPlaceAndRefusesIndexesOutOfRange)
{
    auto array = Array::make({ "b" });
    array->insert(0, "a");
    array->insert(2, "c");
    array->replace(1, "B");
    EXPECT_EQ(array->values(), (std::vector<Value> { "a", "B", "c" }));
    array->removeAt(0);
    EXPECT_EQ(array->first(), Value("B"));
    EXPECT_EQ(array->last(), Value("c"));
    array->append(nullptr);
    EXPECT_EQ(array->size(), 3u);
    EXPECT_TRUE(array->at(2).isNull());

    EXPECT_TRUE(array->at(99).isNull());
    EXPECT_THROW(array->insert(4, 1), std::out_of_range);
    EXPECT_THROW(array->replace(3, 1), std::out_of_range);
    EXPECT_THROW(array->removeAt(3), std::out_of_range);
    EXPECT_EQ(array->size(), 3u);

    array->removeAll();
    EXPECT_TRUE(array->empty());
    EXPECT_TRUE(array->first().isNull());
    EXPECT_TRUE(array->last().isNull());
}

TEST(Array, FindsByEqualityOrByIdentity)
{
    auto invoice = Dictionary::make({ { "id", "1" } });
    auto lookalike = Dictionary::make({ { "id", "1" } });
    auto array = Array::make({ 1.0, 1, lookalike, invoice });

    EXPECT_EQ(array->indexOf(1), 1u);
    EXPECT_EQ(array->indexOf(1.0), 0u);
    EXPECT_EQ(array->indexOf(true), std::nullopt);
    EXPECT_EQ(array->indexOf(invoice), 2u);
    EXPECT_EQ(array->indexOfIdentical(invoice), 3u);
    EXPECT_EQ(array->indexOfIdentical(Dictionary::make({ { "id", "1" } })), std::nullopt);
    EXPECT_EQ(array->indexOfIdentical(1), 1u);
}

TEST(Array, ShallowCopySharesElementsDeepCopyDoesNot)
{
    auto item = Dictionary::make({ { "quantity", 1 } });
    auto array = Array::make({ item });
    auto shallow = array->shallowCopy();
    auto deep = array->deepCopy();
    EXPECT_TRUE(shallow->equals(*array));
    EXPECT_TRUE(deep->equals(*array));

    item->set("quantity", 2);
    EXPECT_EQ(shallow->at(0).dictionary()->get("quantity"), Value(2));
    EXPECT_EQ(deep->at(0).dictionary()->get("quantity"), Value(1));
    EXPECT_FALSE(deep->equals(*array));

    shallow->append("only in the copy");
    EXPECT_EQ(array->size(), 1u);
}
