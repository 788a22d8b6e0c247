// kelvanor_parity_null: the parity scene on the null backend, its counts on one line of standard output.
#include "parity/parity_scene.h"

#include <cstdio>

int main() {
    TSceneCounts counts;
    if (!runParityScene(counts)) return 1;
    std::printf("%s\n", describe(counts).c_str());
    return 0;
}
