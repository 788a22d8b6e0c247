// Stands in for the splinter factory until the splinter kind exists, so the splitter's break-up can be
// tested. It is weak: once the real factory is linked in, that one is used and this file should go.
#include "enemies/enemy_base_kit.h"
#include "enemies/splinter.h"

__attribute__((weak)) std::shared_ptr<TEnemy> createSplinter(const TVector& position, float spin) {
    auto splinter = addTestEnemy(EnemyKind::Splinter, position.x, position.y, EnemyState::Active, 16, 50);
    splinter->turn = spin;
    return splinter;
}
