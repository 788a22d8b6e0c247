// Death-test predicate for the game's fatal errors: the program ends with a non-zero status.
#pragma once

#include <sys/wait.h>

inline bool endedWithFailure(int status) {
    return WIFEXITED(status) && WEXITSTATUS(status) != 0;
}
