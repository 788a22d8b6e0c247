#include "app/entry.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

// The verifier is the same game linked with the null backend (no window, no sound device), installed
// beside this program; the desktop build cannot drop its own window backend at run time.
int handOverToVerifier(const char* file) {
    char self[4096];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path = length > 0 ? std::string(self, static_cast<size_t>(length)) : std::string();
    path = path.substr(0, path.find_last_of('/') + 1) + "kelvanor-verify";
    char* const arguments[] = {path.data(), const_cast<char*>(file), nullptr};
    ::execv(path.c_str(), arguments);
    std::fprintf(stderr, "cannot start %s\n", path.c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]) == "--verify") return handOverToVerifier(argv[2]);
    if (!applyCommandLine(argc, argv)) return 2;
    runGame();
    return 0;
}
