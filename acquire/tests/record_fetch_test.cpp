// Collecting the records of a reply body.
#include <gtest/gtest.h>

#include <string>

#include "acquire/acquire.h"

namespace tarnwick::acquire {
namespace {

TEST(CollectRecordsTest, LinesMakeRecords) {
    const struct {
        const char* name;
        std::string body;
        std::string first;
        int count;
    } cases[] = {
        {"one record", "(;FF[4]SZ[8])\r\n", "(;FF[4]SZ[8])", 1},
        {"split over lines, blank lines and text before it", "junk\r\n\r\n(;FF[4]\r\nSZ[8]\n\nSO[x])\r\n",
         "(;FF[4]SZ[8]SO[x])", 1},
        {"carriage returns anywhere are dropped", "(;FF\r[4]\rSZ[8])", "(;FF[4]SZ[8])", 1},
        {"two records: the first is kept", "(;FF[4]PB[a])\n(;FF[4]PB[b])\nmore\n", "(;FF[4]PB[a])", 2},
        {"no record", "no game here\r\n", "", 0},
        {"an empty body", "", "", 0},
        {"a record start inside a line is not one", "x(;FF[4])\n", "", 0},
    };
    for (const auto& c : cases) {
        const Records records = collectRecords(c.body);
        EXPECT_EQ(records.first, c.first) << c.name;
        EXPECT_EQ(records.count, c.count) << c.name;
    }
}


TEST(CollectRecordsTest, APastedTextIsReadFromItsRecordStart) {
    EXPECT_EQ(recordInText("Copied from the page: (;FF[4]SZ[8]\n;W[A1])\nbye"), "(;FF[4]SZ[8];W[A1])bye");
    EXPECT_EQ(recordInText("1.D4 2.E5"), std::nullopt);
}

}  // namespace
}  // namespace tarnwick::acquire
