#include "world/AwardPoints.h"

#include "game/GameRecord.h"

bool GrantExtraLifeIfDue() {
    // The threshold is computed in 64 bits: in 32 it would wrap near the top of the score's
    // range and grant a life with every award from then on.
    uint64_t threshold = static_cast<uint64_t>(GameSession->extraLives) * PointsPerExtraLife;
    if (GameSession->score < threshold) {
        return false;
    }
    GameSession->lives += 1;
    GameSession->extraLives += 1;
    return true;
}

void AwardPoints(uint32_t points) {
    GameSession->score += points;
    GrantExtraLifeIfDue();
    LevelScore += points;
}
