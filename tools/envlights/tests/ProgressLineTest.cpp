// The progress line's words and how it is drawn over itself and erased.

#include "ProgressLine.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using namespace envlights;

TEST(ProgressLineTest, ImagesDoneElapsedAndLeft)
{
    const struct {
        std::size_t done, total;
        double elapsed;
        const char* text;
    } rows[] = {
        {0, 10, 0.4, "envlights: 0 of 10 images, 0:00 elapsed, about --:-- left"},
        {1, 4, 2.5, "envlights: 1 of 4 images, 0:02 elapsed, about 0:07 left"},
        {3, 10, 4.5, "envlights: 3 of 10 images, 0:04 elapsed, about 0:10 left"},
        {100, 100, 61.0, "envlights: 100 of 100 images, 1:01 elapsed, about 0:00 left"},
        {1, 3, 1800.0, "envlights: 1 of 3 images, 30:00 elapsed, about 1:00:00 left"},
        {2, 2, 3725.0, "envlights: 2 of 2 images, 1:02:05 elapsed, about 0:00 left"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ProgressLine::text(row.done, row.total, row.elapsed), row.text);
}

TEST(ProgressLineTest, RedrawnInPlaceErasedAtTheEndAndSilentOffATerminal)
{
    std::ostringstream terminal;
    {
        ProgressLine line(terminal, true, 12);
        line.show(0);
        line.show(11);
        line.clear();
        line.clear();
        line.show(12);
    }
    const std::string first = ProgressLine::text(0, 12, 0.0);
    const std::string text = terminal.str();
    EXPECT_EQ(text.find('\n'), std::string::npos) << "never a newline";
    ASSERT_EQ(text.rfind('\r' + first, 0), 0u) << text;
    // Each erase blanks the longest line shown (all are as long here) and returns to its start.
    const std::string erase = '\r' + std::string(first.size(), ' ') + '\r';
    EXPECT_NE(text.find("12 images, 0:00 elapsed"), std::string::npos) << text;
    EXPECT_EQ(text.size() - text.rfind(erase), erase.size()) << "ends erased: " << text;
    EXPECT_NE(text.find(erase + "\renvlights: 12 of 12"), std::string::npos)
        << "the second clear writes nothing: " << text;

    std::ostringstream pipe;
    {
        ProgressLine line(pipe, false, 3);
        line.show(1);
        line.clear();
    }
    EXPECT_EQ(pipe.str(), "");
}

} // namespace
