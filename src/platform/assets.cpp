// The embedded asset store and opening resources by name.
//
// Entries form a singly linked list with new entries at the head; the bytes stay where the executable
// carries them and are never copied. openStream is the one door every loader goes through, so "incbin::"
// names and plain paths behave alike everywhere.
#include "platform/assets.h"

#include "platform/files.h"
#include "platform/replay_hooks.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct TAssetNode {
    TAssetEntry entry;
    std::string nameStorage;
    TAssetNode* next = nullptr;
};

TAssetNode* storeHead = nullptr;

// A read-only view over carried bytes.
class TMemoryStream final : public TStream {
public:
    TMemoryStream(const uint8_t* data, size_t size) : data_(data), size_(static_cast<int64_t>(size)) {}

    size_t read(void* buffer, size_t bytes) override {
        const int64_t available = size_ - position_;
        const size_t count = std::min<size_t>(bytes, static_cast<size_t>(std::max<int64_t>(available, 0)));
        if (count > 0) std::memcpy(buffer, data_ + position_, count);
        position_ += static_cast<int64_t>(count);
        return count;
    }
    size_t write(const void*, size_t) override { return 0; }
    bool seek(int64_t offset, int whence) override {
        int64_t base = 0;
        if (whence == SEEK_CUR)
            base = position_;
        else if (whence == SEEK_END)
            base = size_;
        else if (whence != SEEK_SET)
            return false;
        const int64_t target = base + offset;
        if (target < 0 || target > size_) return false;
        position_ = target;
        return true;
    }
    int64_t tell() const override { return position_; }
    int64_t size() const override { return size_; }
    bool flush() override { return true; }

private:
    const uint8_t* data_;
    int64_t size_;
    int64_t position_ = 0;
};

// A memory view that owns its bytes (a plain file read whole).
class TOwnedMemoryStream final : public TStream {
public:
    explicit TOwnedMemoryStream(std::string bytes)
        : bytes_(std::move(bytes)), view_(reinterpret_cast<const uint8_t*>(bytes_.data()), bytes_.size()) {}
    size_t read(void* buffer, size_t bytes) override { return view_.read(buffer, bytes); }
    size_t write(const void*, size_t) override { return 0; }
    bool seek(int64_t offset, int whence) override { return view_.seek(offset, whence); }
    int64_t tell() const override { return view_.tell(); }
    int64_t size() const override { return view_.size(); }
    bool flush() override { return true; }

private:
    std::string bytes_;
    TMemoryStream view_;
};

// Plain files are read whole before a loader sees them; none the game reads comes near this.
constexpr size_t PlainStreamByteLimit = size_t{64} << 20;

// A plain file on disk, opened for writing (created or truncated).
class TFileStream final : public TStream {
public:
    explicit TFileStream(std::FILE* file) : file_(file) {}
    ~TFileStream() override {
        if (file_) std::fclose(file_);
    }

    size_t read(void* buffer, size_t bytes) override { return std::fread(buffer, 1, bytes, file_); }
    size_t write(const void* buffer, size_t bytes) override { return std::fwrite(buffer, 1, bytes, file_); }
    bool seek(int64_t offset, int whence) override { return fseeko(file_, offset, whence) == 0; }
    int64_t tell() const override { return ftello(file_); }
    int64_t size() const override {
        const off_t here = ftello(file_);
        if (fseeko(file_, 0, SEEK_END) != 0) return -1;
        const off_t end = ftello(file_);
        fseeko(file_, here, SEEK_SET);
        return end;
    }
    bool flush() override { return std::fflush(file_) == 0 && !std::ferror(file_); }

private:
    std::FILE* file_;
};

std::string lowerAscii(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lowered;
}

} // namespace

int registerAsset(std::string_view name, const uint8_t* data, size_t size) {
    if (findAsset(name)) return 0;
    auto* node = new TAssetNode; // entries live for the whole process
    node->nameStorage = std::string(name);
    node->entry = TAssetEntry{node->nameStorage, data, size};
    node->next = storeHead;
    storeHead = node;
    return 1;
}

const TAssetEntry* findAsset(std::string_view name) {
    for (const TAssetNode* node = storeHead; node; node = node->next)
        if (node->entry.name == name) return &node->entry;
    return nullptr;
}

std::unique_ptr<TStream> openStream(std::string_view name, bool forWrite) {
    const size_t separator = name.find("::");
    if (separator != std::string_view::npos) {
        const std::string protocol = lowerAscii(name.substr(0, separator));
        const std::string_view path = name.substr(separator + 2);
        if (protocol != "incbin" || forWrite) return nullptr;
        const TAssetEntry* entry = findAsset(path);
        if (!entry) return nullptr;
        return openMemoryStream(entry->data, entry->size);
    }
    if (!forWrite) {
        TPlainFileRead read = readPlainFile(name, PlainStreamByteLimit);
        if (read.state != PlainFileState::Read) return nullptr;
        return openOwnedMemoryStream(std::move(read.bytes));
    }
    // A replay leaves the files on disk as they are.
    if (replayDiscardsWrites()) return nullptr;
    return openFileStream(std::fopen(std::string(name).c_str(), "wb"));
}

std::unique_ptr<TStream> openFileStream(std::FILE* file) {
    if (!file) return nullptr;
    return std::make_unique<TFileStream>(file);
}

std::unique_ptr<TStream> openOwnedMemoryStream(std::string bytes) {
    return std::make_unique<TOwnedMemoryStream>(std::move(bytes));
}

std::unique_ptr<TStream> openMemoryStream(const uint8_t* data, size_t size) {
    return std::make_unique<TMemoryStream>(data, size);
}
