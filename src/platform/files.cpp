// Text files read and written line by line over the asset store's streams, and reading numbers from
// text (the settings file and the shape files both go through here).
#include "platform/files.h"

#include "platform/assets.h"
#include "platform/backend.h"
#include "platform/replay_hooks.h"
#include "platform/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

struct TTextFile {
    std::unique_ptr<TStream> stream;
    bool forWrite = false;
    bool writeFailed = false;
    bool closed = false;
    bool closeResult = false;
    std::string diskPath; // the plain file behind a written file, for flushing it to disk
    // Reads go through a buffer: lines are read a byte at a time.
    std::vector<char> readBuffer;
    size_t readPosition = 0;
    size_t readLength = 0;
    // A read gave nothing: the end, whatever the stream says its size is, so that no loop reading to the
    // end can go on for ever.
    bool exhausted = false;
};

namespace {

constexpr size_t ReadBufferSize = 4096;

bool refillReadBuffer(TTextFile& file) {
    if (!file.stream) return false;
    file.readLength = file.stream->read(file.readBuffer.data(), file.readBuffer.size());
    file.readPosition = 0;
    file.exhausted = file.readLength == 0;
    return file.readLength > 0;
}

// -1 at the end of the file.
int readByte(TTextFile& file) {
    if (file.readPosition == file.readLength && !refillReadBuffer(file)) return -1;
    return static_cast<unsigned char>(file.readBuffer[file.readPosition++]);
}

bool isPlainPath(std::string_view path) {
    return path.find("::") == std::string_view::npos;
}

bool isWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Skips white space and an optional sign; true when the sign was "-".
bool readLeadingSign(std::string_view text, size_t& at) {
    while (at < text.size() && isWhiteSpace(text[at]))
        ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) return text[at++] == '-';
    return false;
}

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

// Where a replay's writes go.
class TDiscardStream final : public TStream {
public:
    size_t read(void*, size_t) override { return 0; }
    size_t write(const void*, size_t bytes) override { return bytes; }
    bool seek(int64_t, int) override { return false; }
    int64_t tell() const override { return 0; }
    int64_t size() const override { return 0; }
    bool flush() override { return true; }
};

TextFile textFileReading(std::unique_ptr<TStream> stream) {
    if (!stream) return nullptr;
    auto file = std::make_shared<TTextFile>();
    file->stream = std::move(stream);
    file->readBuffer.resize(ReadBufferSize);
    return file;
}

// O_NONBLOCK so that opening a pipe nobody writes to returns at once (it is then refused as not regular).
TPlainFileRead readPlainFileFromDisk(std::string_view path, size_t limit) {
    TPlainFileRead result;
    const int descriptor = ::open(std::string(path).c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        result.state = errno == ENOENT ? PlainFileState::Missing : PlainFileState::Unreadable;
        return result;
    }
    result.state = PlainFileState::Unreadable;
    struct stat status {};
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) &&
        static_cast<uint64_t>(status.st_size) <= limit) {
        std::string bytes;
        char block[16384];
        for (;;) {
            const ssize_t count = ::read(descriptor, block, sizeof block);
            if (count < 0 && errno == EINTR) continue;
            if (count <= 0 || bytes.size() + static_cast<size_t>(count) > limit) {
                if (count == 0) result = {PlainFileState::Read, std::move(bytes)};
                break;
            }
            bytes.append(block, static_cast<size_t>(count));
        }
    }
    ::close(descriptor);
    return result;
}

} // namespace

TPlainFileRead readPlainFile(std::string_view path, size_t limit) {
    TPlainFileRead read = replayPlainFileRead(path, [&] { return readPlainFileFromDisk(path, limit); });
    if (read.state == PlainFileState::Read && read.bytes.size() > limit)
        read = {PlainFileState::Unreadable, {}};
    return read;
}

TextFile openTextForRead(std::string_view path) {
    return textFileReading(openStream(path, false));
}

TextFile openTextForRead(std::string_view path, size_t limit, PlainFileState& state) {
    TPlainFileRead read = readPlainFile(path, limit);
    state = read.state;
    if (read.state != PlainFileState::Read) return nullptr;
    return textFileReading(openOwnedMemoryStream(std::move(read.bytes)));
}

TextFile openTextForWrite(std::string_view path) {
    auto stream = openStream(path, true);
    if (!stream) return nullptr;
    auto file = std::make_shared<TTextFile>();
    file->stream = std::move(stream);
    file->forWrite = true;
    if (isPlainPath(path)) file->diskPath = std::string(path);
    return file;
}

TextFile openTextForSafeWrite(std::string_view path) {
    auto file = std::make_shared<TTextFile>();
    file->forWrite = true;
    if (replayDiscardsWrites()) {
        file->stream = std::make_unique<TDiscardStream>();
        return file;
    }
    file->stream = openFileStream(openFreshTemporary(path));
    if (!file->stream) return nullptr;
    file->diskPath = temporaryPathFor(path);
    return file;
}

std::string readTextLine(const TextFile& file) {
    std::string line;
    if (!file || file->forWrite) return line;
    for (int byte = readByte(*file); byte > 0 && byte != '\n'; byte = readByte(*file)) {
        if (byte != '\r') line.push_back(static_cast<char>(byte));
    }
    return line;
}

void writeTextLine(const TextFile& file, std::string_view text) {
    if (!file || !file->forWrite || !file->stream) return;
    if (file->stream->write(text.data(), text.size()) != text.size()) file->writeFailed = true;
    if (file->stream->write("\r\n", 2) != 2) file->writeFailed = true;
}

int atEndOfFile(const TextFile& file) {
    if (!file || !file->stream) return 1;
    if (file->readPosition < file->readLength) return 0;
    if (file->exhausted) return 1;
    return file->stream->tell() >= file->stream->size() ? 1 : 0;
}

bool flushTextFile(const TextFile& file) {
    if (!file || !file->forWrite || !file->stream) return false;
    if (!file->stream->flush()) file->writeFailed = true;
    if (!file->writeFailed && !file->diskPath.empty()) {
        // fsync acts on the file, not on the descriptor, so a second descriptor reaches the data the
        // stream has handed to the system.
        const int descriptor = ::open(file->diskPath.c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0 || ::fsync(descriptor) != 0) file->writeFailed = true;
        if (descriptor >= 0) ::close(descriptor);
    }
    return !file->writeFailed;
}

bool closeTextFile(const TextFile& file) {
    if (!file) return false;
    if (file->closed) return file->closeResult;
    bool written = true;
    if (file->forWrite && file->stream) written = file->stream->flush() && !file->writeFailed;
    file->stream.reset();
    file->closed = true;
    file->closeResult = written;
    if (file->forWrite) backendFilesChanged();
    return written;
}

int pathKind(std::string_view path) {
    if (!isPlainPath(path)) {
        auto stream = openStream(path, false);
        return stream ? 1 : 0;
    }
    struct stat status {};
    if (::stat(std::string(path).c_str(), &status) != 0) return 0;
    return S_ISDIR(status.st_mode) ? 2 : 1;
}

bool renameFile(std::string_view from, std::string_view to) {
    if (replayDiscardsWrites()) return true;
    const bool renamed = std::rename(std::string(from).c_str(), std::string(to).c_str()) == 0;
    if (renamed) backendFilesChanged();
    return renamed;
}

bool removeFile(std::string_view path) {
    if (replayDiscardsWrites()) return true;
    const bool removed = std::remove(std::string(path).c_str()) == 0;
    if (removed) backendFilesChanged();
    return removed;
}

// Decimal numbers saturate at the int range; "$" and "%" numbers are bit patterns and keep the low 32
// bits, so "$FFFFFFFF" reads as -1.
int parseInteger(std::string_view text) {
    size_t at = 0;
    const bool negative = readLeadingSign(text, at);
    int base = 10;
    if (at < text.size() && text[at] == '$') {
        base = 16;
        ++at;
    } else if (at < text.size() && text[at] == '%') {
        base = 2;
        ++at;
    }
    uint64_t magnitude = 0;
    for (; at < text.size() && digitValue(text[at]) < base; ++at) {
        magnitude = magnitude * base + digitValue(text[at]);
        if (base == 10 && magnitude > uint64_t{1} << 32) magnitude = uint64_t{1} << 32;
        if (base != 10) magnitude &= 0xFFFFFFFFu;
    }
    if (base != 10) {
        const uint32_t bits = static_cast<uint32_t>(magnitude);
        return static_cast<int>(negative ? 0u - bits : bits);
    }
    const int64_t value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

double parseReal(std::string_view text) {
    size_t at = 0;
    const bool negative = readLeadingSign(text, at);
    // Only digits may start the number: from_chars would otherwise also accept "inf", "nan" or a second
    // sign.
    const std::string_view rest = text.substr(at);
    const bool startsWithDigit = !rest.empty() && digitValue(rest[0]) < 10;
    const bool startsWithFraction = rest.size() > 1 && rest[0] == '.' && digitValue(rest[1]) < 10;
    if (!startsWithDigit && !startsWithFraction) return 0.0;
    // The number's extent as from_chars would take it (digits, a fraction, an exponent with digits), read
    // by strtod, which rounds alike; some C++ libraries have no from_chars for doubles. strtod saturates
    // out-of-range values (HUGE_VAL or 0); the program never changes the C locale.
    size_t end = 0;
    while (end < rest.size() && digitValue(rest[end]) < 10)
        ++end;
    if (end < rest.size() && rest[end] == '.') {
        ++end;
        while (end < rest.size() && digitValue(rest[end]) < 10)
            ++end;
    }
    if (end < rest.size() && (rest[end] == 'e' || rest[end] == 'E')) {
        size_t exponent = end + 1;
        if (exponent < rest.size() && (rest[exponent] == '+' || rest[exponent] == '-')) ++exponent;
        if (exponent < rest.size() && digitValue(rest[exponent]) < 10) {
            end = exponent;
            while (end < rest.size() && digitValue(rest[end]) < 10)
                ++end;
        }
    }
    const double value = std::strtod(std::string(rest.substr(0, end)).c_str(), nullptr);
    return negative ? -value : value;
}
