#pragma once

// The story told around the levels: the opening picture, the ship's flight in three
// orientations, and the scrolling credits. Each can be cut short by holding a key.

constexpr float StoryIntroSeconds = 15.0f;
constexpr float FlightFrameSeconds = 2.5f;
constexpr float CreditsSeconds = 25.0f;
constexpr unsigned SkipPauseMilliseconds = 200;  // after a skip, so one press skips one screen

// The opening story picture for 15 seconds, or until Escape, Space or pad button X is held.
void ShowStoryIntro();

// The ship in flight for 2.5 seconds with the engine sounding, or until Escape, Space or pad
// button X is held: variant 0 as the picture is stored (before level 1), 1 mirrored left to
// right (before level 5), 2 upside down (before level 10). Any other variant shows nothing.
void ShowFlightFrame(int variant);

// The credits scrolling up through the screen in 25 seconds, or until Escape or Space is held.
void ShowCredits();

// Where the credits picture's centre stands after t seconds: from -2 (below the screen) to 2
// (above it), with t taken as at least 0.01.
float CreditsScroll(float seconds);
