#pragma once
#include <gtest/gtest.h>

#include "tests/support/KeptSettings.h"
#include "tests/support/RecordingAL.h"

// A test with the recording OpenAL installed and sound on; both are undone after the test.
// Kept apart from RecordingAL, which the fuzz targets use without GoogleTest.
class RecordingALTest : public testing::Test {
protected:
    void SetUp() override {
        RecordingAL::Install();
        SoundEnabled = true;
    }
    void TearDown() override { RecordingAL::Uninstall(); }

private:
    KeptSettings kept;
};
