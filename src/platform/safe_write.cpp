// Safe writes in the working directory (see the header for the rules they keep).
#include "platform/safe_write.h"

#include "platform/backend.h"
#include "platform/replay_hooks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace {

// The folders of path, from the outermost, each as a path of its own; false when path leaves the working
// directory or names no file.
bool foldersOf(std::string_view path, std::vector<std::string>& folders) {
    if (path.empty() || path.front() == '/' || path.back() == '/' ||
        path.find('\0') != std::string_view::npos)
        return false;
    size_t start = 0;
    for (;;) {
        const size_t slash = path.find('/', start);
        const std::string_view part =
            path.substr(start, slash == std::string_view::npos ? slash : slash - start);
        if (part.empty() || part == "." || part == "..") return false;
        if (slash == std::string_view::npos) return true;
        folders.emplace_back(path.substr(0, slash));
        start = slash + 1;
    }
}

// Each folder is made if missing; one that is there must be a folder itself, not a link to one.
bool prepareFolders(std::string_view path) {
    std::vector<std::string> folders;
    if (!foldersOf(path, folders)) {
        errno = EINVAL;
        return false;
    }
    for (const std::string& folder : folders) {
        if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) return false;
        struct stat status {};
        if (::lstat(folder.c_str(), &status) != 0) return false;
        if (!S_ISDIR(status.st_mode)) {
            errno = ENOTDIR;
            return false;
        }
    }
    return true;
}

bool writeAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// O_NOFOLLOW with O_CREAT | O_EXCL: a name that is there in any form, a link included, is an error.
int createExclusively(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

// Writes, pushes to the disk and closes; on failure the file made is removed again.
bool fillAndClose(int descriptor, const std::string& path, std::string_view bytes) {
    const bool written = writeAll(descriptor, bytes) && ::fsync(descriptor) == 0;
    const int error = errno;
    const bool closed = ::close(descriptor) == 0;
    if (written && closed) return true;
    ::unlink(path.c_str());
    errno = written ? EIO : error;
    return false;
}

// The folders made and checked, a stale temporary file or link removed (a folder of that name stays, and
// the create then fails) and the temporary file created; -1 on failure.
int createFreshTemporary(std::string_view path) {
    if (!prepareFolders(path)) return -1;
    const std::string temporary = temporaryPathFor(path);
    if (::unlink(temporary.c_str()) != 0 && errno != ENOENT && errno != EISDIR && errno != EPERM) return -1;
    return createExclusively(temporary);
}

} // namespace

std::string temporaryPathFor(std::string_view path) {
    return std::string(path) + ".tmp";
}

std::FILE* openFreshTemporary(std::string_view path) {
    const int descriptor = createFreshTemporary(path);
    if (descriptor < 0) return nullptr;
    std::FILE* file = ::fdopen(descriptor, "wb");
    if (!file) {
        ::close(descriptor);
        ::unlink(temporaryPathFor(path).c_str());
    }
    return file;
}

bool writeFileSafely(std::string_view path, std::string_view bytes, SafeWriteMode mode) {
    if (replayDiscardsWrites()) return true;
    const std::string name(path);
    if (mode == SafeWriteMode::CreateNew) {
        const int descriptor = prepareFolders(path) ? createExclusively(name) : -1;
        if (descriptor < 0 || !fillAndClose(descriptor, name, bytes)) return false;
    } else {
        const std::string temporary = temporaryPathFor(path);
        const int descriptor = createFreshTemporary(path);
        if (descriptor < 0 || !fillAndClose(descriptor, temporary, bytes)) return false;
        if (std::rename(temporary.c_str(), name.c_str()) != 0) {
            const int error = errno;
            ::unlink(temporary.c_str());
            errno = error;
            return false;
        }
    }
    backendFilesChanged();
    return true;
}
