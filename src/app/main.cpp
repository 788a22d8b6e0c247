#include "app/entry.h"

int main(int, char**) {
    runGame();
    return 0;
}
