#pragma once
#include <gtest/gtest.h>

#include "settings/SettingsValues.h"
#include "tests/support/RecordingAL.h"

// A test with the recording OpenAL installed and sound on; both are undone after the test.
// Kept apart from RecordingAL, which the fuzz targets use without GoogleTest.
class RecordingALTest : public testing::Test {
protected:
    void SetUp() override {
        RecordingAL::Install();
        savedSound = SoundEnabled;
        SoundEnabled = true;
    }

    void TearDown() override {
        SoundEnabled = savedSound;
        RecordingAL::Uninstall();
    }

private:
    bool savedSound = false;
};
