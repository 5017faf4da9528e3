#include "game/events.h"

#include "game/unit.h"
#include "game/world.h"

void CGameEndEvent::Fire() {
  world->EndGame();
}

void CBoardChangeEvent::Fire() {
  world->ChangeBoard();
}

void CFlowerSpawnEvent::Fire() {
  world->SpawnFlower();
}

void CFlowerDeathEvent::Fire() {
  world->RemoveFlower(flower);
}

void CHoleCreationEvent::Fire() {
  world->CompleteHole(hole);
}

void CUnitTransTimerExpireEvent::Fire() {
  unit->OnTimerExpired();
}
