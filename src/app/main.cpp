#include "app/entry.h"

int main(int argc, char** argv) {
    if (!applyCommandLine(argc, argv)) return 2;
    runGame();
    return 0;
}
