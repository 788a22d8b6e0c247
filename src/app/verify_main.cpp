// kelvanor-verify FILE: plays a run file headless on the null backend, as fast as it can, and says in one
// line whether it ends in the record it claims. Status 0 it does, 3 it does not, 2 the file is unreadable.
#include "app/entry.h"
#include "app/watch_run.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s RUNFILE\n", argv[0]);
        return 2;
    }
    if (!startGame()) return 2;
    const int status = verifyRunFile(argv[1]);
    std::fflush(stdout);
    return status;
}
