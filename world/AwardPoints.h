#pragma once
#include <cstdint>

// Adds points to the game's score and to the level's, granting an extra life when the score
// reaches the next multiple of 500000 (the first points of a game grant one at once).
void AwardPoints(uint32_t points);

// Grants at most one extra life when the game's score has reached extraLives x 500000; true when
// it did. The award and the level summary's bonus tally both go through it.
bool GrantExtraLifeIfDue();
