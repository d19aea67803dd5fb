#include <gtest/gtest.h>

#include <filesystem>
#include <iomanip>
#include <sstream>
#include <streambuf>
#include <string>

#include "support/forces_access.h"
#include "support/strip_model.h"

using namespace xsect;
using Access = CCrossSectionForcesPostTestAccess;
using strip_model::SmallModel;

namespace {

// Keeps what is written and counts the flushes.
class CountingBuffer : public std::streambuf {
public:
    std::string text;
    int syncs = 0;

protected:
    int_type overflow(int_type ch) override {
        if (ch != traits_type::eof()) text.push_back(static_cast<char>(ch));
        return ch;
    }
    int sync() override {
        ++syncs;
        return 0;
    }
};

SmallModel dumpModel() {
    SmallModel m;
    m.AddNode(1, 0, 0);
    m.AddNode(2, 1.5, 1.0 / 3.0);
    m.AddNode(3, 1e6, 0.0001);
    CShellElement& s = m.AddShell(7, {1, 2, 3});
    s.StoreStaticCaseResults(4, 3, {1, 2, 3, 4, 5, 6});
    s.StoreStaticCaseResults(4, 2, {0.00001, -2.5, 0, 0, 0, 1e6});
    s.StoreStaticCaseResults(1, 1, {0.125, 0, 0, 0, 0, 0});
    s.StoreResponseSpectraCaseResults(9, 1, 1, {8, 8, 8, 8, 8, 8});  // not dumped
    m.AddShell(8, {1, 3, 2});
    CFrameElement& f = m.AddFrame(1, 1, 2);  // not dumped
    f.staticResultsA[4] = {9, 9, 9, 9, 9, 9};
    return m;
}

const char* const kDump =
    "NODES:\n"
    "1,0,0,0\n"
    "2,1.5,0.333333,0\n"
    "3,1e+06,0.0001,0\n"
    "1000001,0,0,0\n"
    "1000002,1,0,0\n"
    "1000003,0,1,0\n"
    "SHELLS CONNECTIVITY :\n"
    "7,1,2,3,\n"
    "8,1,3,2,\n"
    "SHELLS FORCES :\n"
    "7,1,1,0.125,0,0,0,0,0\n"
    "7,4,2,1e-05,-2.5,0,0,0,1e+06\n"
    "7,4,3,1,2,3,4,5,6\n"
    "\n"
    "\n";

}  // namespace

TEST(DataDump, WritesNodesConnectivityAndStaticShellForcesFlushingEveryLine) {
    SmallModel m = dumpModel();
    CCrossSectionForcesPost calc = m.Build();
    ASSERT_EQ(calc.GetCurrentStatus(), CS_SUCCESS);
    CountingBuffer buffer;
    std::ostream out(&buffer);
    out << std::fixed << std::setprecision(2) << std::showpos;  // the dump uses its own format
    Access::WriteDataDump(calc, out);
    EXPECT_EQ(buffer.text, kDump);
    EXPECT_EQ(buffer.syncs, 16);  // one per line: 16 lines, the two empty ones included
    out << 0.5;                   // the caller's settings are back
    EXPECT_EQ(buffer.text.substr(buffer.text.size() - 5), "+0.50");
}

TEST(DataDump, ModelWithoutShellsWritesHeadersAndNodes) {
    std::map<std::int32_t, CVertex> nodes{{2, {0.5, -1, 2}}};
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> cases;
    CCrossSectionForcesPost calc(nodes, shells, frames, cases, 0.005);
    EXPECT_EQ(calc.GetCurrentStatus(), CS_NO_SHELLS);  // the dump does not care
    std::ostringstream out;
    Access::WriteDataDump(calc, out);
    EXPECT_EQ(out.str(), "NODES:\n2,0.5,-1,2\nSHELLS CONNECTIVITY :\nSHELLS FORCES :\n");
    EXPECT_EQ(calc.GetCurrentStatus(), CS_NO_SHELLS);
}

#ifndef _WIN32
TEST(DataDump, FileDumpWritesNothingAwayFromItsDrive) {
    // On this system the fixed Windows path would be a plain file name in the working
    // directory; the dump must not create it.
    const std::filesystem::path path("D:\\Quorvath\\DataOut.csv");
    ASSERT_FALSE(std::filesystem::exists(path));
    SmallModel m = dumpModel();
    CCrossSectionForcesPost calc = m.Build();
    Access::PrintDataToFile(calc);
    const bool created = std::filesystem::exists(path);
    if (created) std::filesystem::remove(path);
    EXPECT_FALSE(created);
    EXPECT_EQ(calc.GetCurrentStatus(), CS_SUCCESS);
}
#endif
