#include "Zorvik/Models/Pin.h"

#include <gtest/gtest.h>

#include <optional>

namespace zorvik::test {
namespace {

TEST(PinTest, TakesUpToFourSingleDigits)
{
    enum class Op { Add, Remove, Clear };
    struct Step {
        Op op;
        std::int64_t digit;
        bool answer;
        const char* digits;
    };
    const Step steps[] = {
        { Op::Remove, 0, false, "" },
        { Op::Add, 1, true, "1" },
        { Op::Add, 0, true, "10" },
        { Op::Add, 10, false, "10" },
        { Op::Add, -1, false, "10" },
        { Op::Add, 9, true, "109" },
        { Op::Add, 4, true, "1094" },
        { Op::Add, 5, false, "1094" },
        { Op::Remove, 0, true, "109" },
        { Op::Add, 7, true, "1097" },
        { Op::Clear, 0, true, "" },
        { Op::Remove, 0, false, "" },
        { Op::Add, 0, true, "0" },
    };
    Pin pin;
    EXPECT_EQ(pin.digits(), "");
    int index = 0;
    for (const auto& [op, digit, answer, digits] : steps) {
        SCOPED_TRACE(index++);
        switch (op) {
        case Op::Add:
            EXPECT_EQ(pin.addDigit(digit), answer);
            break;
        case Op::Remove:
            EXPECT_EQ(pin.removeDigit(), answer);
            break;
        case Op::Clear:
            pin.clear();
            break;
        }
        EXPECT_EQ(pin.digits(), digits);
        EXPECT_EQ(pin.pin(), digits);
        EXPECT_EQ(pin.isAtMaxLength(), std::string(digits).size() == 4);
    }
}

}
}
