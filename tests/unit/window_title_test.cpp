#include <gtest/gtest.h>

#include "host/window_title.h"

namespace praxora {
namespace {

struct TitleCase {
    const char* path;
    const char* startupTitle;
    const char* recordTitle;
};

void PrintTo(const TitleCase& c, std::ostream* os) {
    *os << '"' << c.path << '"';
}

class WindowTitleTest : public ::testing::TestWithParam<TitleCase> {};

TEST_P(WindowTitleTest, FollowsTheFileName) {
    const TitleCase& c = GetParam();
    EXPECT_EQ(StartupTitle(c.path), c.startupTitle);
    EXPECT_EQ(RecordTitle(c.path), c.recordTitle);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, WindowTitleTest,
    ::testing::Values(
        TitleCase{"", "Praxora - Tolv Patient Files", "Praxora"},
        TitleCase{"/home/clinic/Records/visit-0412.tolv", "visit-0412.tolv - Tolv Patient Files",
                  "Praxora - visit-0412.tolv"},
        TitleCase{"visit.json", "visit.json - Tolv Patient Files", "Praxora - visit.json"},
        TitleCase{"/srv/Überweisung 3.tolv", "Überweisung 3.tolv - Tolv Patient Files",
                  "Praxora - Überweisung 3.tolv"}));

}  // namespace
}  // namespace praxora
