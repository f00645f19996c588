#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "recording_host.h"
#include "sound/sounds.h"

namespace {

TEST(Sounds, OnlyTheEightPathsCanBeFormed) {
    resetRecordingHost();
    for (int i = 0; i < 400; ++i) {
        playAttachSound();
        playDetachSound();
    }
    const std::set<std::string> formed(recordingHost().sounds.begin(), recordingHost().sounds.end());
    const std::set<std::string> expected = {
        "Sounds\\attach0.wav", "Sounds\\attach1.wav", "Sounds\\attach2.wav", "Sounds\\attach3.wav",
        "Sounds\\detach0.wav", "Sounds\\detach1.wav", "Sounds\\detach2.wav", "Sounds\\detach3.wav",
    };
    EXPECT_EQ(formed, expected);
}

TEST(Sounds, TheVariantIsTheNextRandomDrawModuloFour) {
    std::srand(7);
    const int first = std::rand() % 4;
    const int second = std::rand() % 4;
    std::srand(7);
    resetRecordingHost();
    playDetachSound();
    playAttachSound();
    ASSERT_EQ(recordingHost().sounds.size(), 2u);
    EXPECT_EQ(recordingHost().sounds[0], "Sounds\\detach" + std::to_string(first) + ".wav");
    EXPECT_EQ(recordingHost().sounds[1], "Sounds\\attach" + std::to_string(second) + ".wav");
}

}  // namespace
