#include <set>
#include <string>

#include <gtest/gtest.h>
#include <xsect/xsect.h>

namespace xsect {
namespace {

TEST(StatusText, EveryStatusHasItsOwnNameAndAMessage) {
    const std::pair<std::int32_t, const char*> statuses[] = {
        {CS_SUCCESS, "CS_SUCCESS"},
        {CS_NO_ELEMENTS_CROSSED, "CS_NO_ELEMENTS_CROSSED"},
        {CS_PLANE_NOT_DEFINED, "CS_PLANE_NOT_DEFINED"},
        {CS_NO_SHELLS, "CS_NO_SHELLS"},
        {CS_CUT_LINE_OFF_PLANE, "CS_CUT_LINE_OFF_PLANE"},
        {CS_SECTION_MAP_FAILED, "CS_SECTION_MAP_FAILED"},
        {CS_MOMENT_POINT_OFF_PLANE, "CS_MOMENT_POINT_OFF_PLANE"},
        {CS_NO_THICKNESS, "CS_NO_THICKNESS"},
        {CS_NONPOSITIVE_THICKNESS, "CS_NONPOSITIVE_THICKNESS"},
        {CS_STRESS_NOT_SET, "CS_STRESS_NOT_SET"},
        {CS_NO_STRESS_INPUT_POINTS, "CS_NO_STRESS_INPUT_POINTS"},
        {CS_THIRD_POINT_ON_CUT_LINE, "CS_THIRD_POINT_ON_CUT_LINE"},
        {CS_STRESS_CS_INVALID, "CS_STRESS_CS_INVALID"},
    };
    std::set<std::string> messages;
    for (const auto& [value, name] : statuses) {
        EXPECT_STREQ(StatusName(value), name);
        std::string message = StatusMessage(value);
        EXPECT_FALSE(message.empty()) << name;
        EXPECT_TRUE(messages.insert(message).second) << name << " shares its message";
    }
}

TEST(StatusText, UnknownValuesAreNamedAsUnknown) {
    for (std::int32_t value : {-4, -10, 1, -100, 2147483647}) {
        EXPECT_STREQ(StatusName(value), "CS_UNKNOWN") << value;
        EXPECT_NE(std::string(StatusMessage(value)).find("unknown"), std::string::npos) << value;
    }
}

}  // namespace
}  // namespace xsect
