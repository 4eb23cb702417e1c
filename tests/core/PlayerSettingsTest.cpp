#include "core/PlayerSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Vel {
namespace {

TEST(PlayerSettingsTest, ReadingClampsNumbersAndReplacesWhatItCannotReadWithTheDefault)
{
    struct Case
    {
        std::string file;
        std::string written;   // lines expected in the file written back
        std::string complaint; // "" when the log stays empty, else what the one line says
    };
    const std::string defaults = PlayerSettings::Format({});
    const std::vector<Case> cases = {
        {"[Player]\r\nTextSpeed = 42\r\nautospeed=-3\r\n", "textspeed=10\nautospeed=0\n", ""},
        {"[player]\ntextspeed=99999999999999999999\nautospeed=007\n", "textspeed=10\nautospeed=7\n", ""},
        {"[player]\nskipunread=YES\nautosave=No\nfullscreen=yEs\n", "skipunread=yes\nautosave=no\nfullscreen=yes\n",
         ""},
        {"[player]\nwindowsize=1920X1080\nlanguage=fran\xC3\xA7"
         "ais\n",
         "windowsize=1920x1080\nlanguage=fran\xC3\xA7"
         "ais\n",
         ""},
        {"[other]\ntextspeed=1\n; a comment\n", defaults, ""},
        {"[player]\ntextspeed=fast\nautospeed=3\n", "textspeed=5\nautospeed=3\n", "textspeed=fast"},
        {"[player]\nautospeed=5.5\n", "autospeed=5\n", "autospeed=5.5"},
        {"[player]\nautosave=maybe\n", "autosave=yes\n", "autosave=maybe"},
        {"[player]\nskipunread=1\n", "skipunread=no\n", "skipunread=1"},
        {"[player]\nfullscreen=\nlanguage=de\n", "autosave=yes\nlanguage=de\n", "fullscreen="},
        {"[player]\nwindowsize=0x600\n", defaults, "windowsize=0x600"},
        {"[player]\nwindowsize=-800x600\n", defaults, "windowsize=-800x600"},
        {std::string("[player]\ntextspeed=9\n\0\x01", 23), defaults, "binary data"},
        {"[player]\ntextspeed=9\n\xFF\xFE\n", defaults, "not UTF-8"},
        {"textspeed 9\n", defaults, "neither a section"},
    };
    for (const Case& test : cases) {
        std::vector<std::string> complaints;
        const std::string written =
            PlayerSettings::Format(PlayerSettings::Parse(test.file, "/home/p/settings.ini", &complaints));
        EXPECT_NE(written.find(test.written), std::string::npos) << test.file << "\nwrote\n" << written;
        if (test.complaint.empty()) {
            EXPECT_TRUE(complaints.empty()) << test.file << complaints.front();
            continue;
        }
        ASSERT_EQ(complaints.size(), 1u) << test.file;
        EXPECT_EQ(complaints[0].rfind("/home/p/settings.ini: ", 0), 0u) << complaints[0];
        EXPECT_NE(complaints[0].find(test.complaint), std::string::npos) << complaints[0];
    }
}

TEST(PlayerSettingsTest, TextSpeedScalesTypingAndTenShowsTextWhole)
{
    struct Case
    {
        float textSpeed;
        float styleSpeed;
        float typed;
    };
    const std::vector<Case> cases = {
        {5, 10, 10}, {5, 7, 7}, {0, 6, 1}, {2, 12, 6}, {9, 6, 10}, {10, 6, 0}, {0, 0, 0}, {7.6f, 3, 4.5f}, {-4, 6, 1},
    };
    PlayerSettings settings;
    for (const Case& test : cases) {
        settings.SetTextSpeed(test.textSpeed);
        EXPECT_FLOAT_EQ(PlayerSettings::TypingSpeed(test.styleSpeed), test.typed)
            << "text speed " << test.textSpeed << ", style speed " << test.styleSpeed;
    }
}

} // namespace
} // namespace Vel
