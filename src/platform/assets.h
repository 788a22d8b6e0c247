// The store of files carried inside the executable, opened by "incbin::" plus their file name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

struct TAssetEntry {
    std::string_view name;
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// The first registration of a name wins: a repeat returns 0 and changes nothing.
int registerAsset(std::string_view name, const uint8_t* data, size_t size);
const TAssetEntry* findAsset(std::string_view name);

// Registers every file the build embedded, in the game's order. Generated at build time.
void registerEmbeddedAssets();

// A read-only or write-only byte stream: an in-memory view of an embedded file, or a plain file.
class TStream {
public:
    virtual ~TStream() = default;
    virtual size_t read(void* buffer, size_t bytes) = 0;
    virtual size_t write(const void* buffer, size_t bytes) = 0;
    virtual bool seek(int64_t offset, int whence) = 0; // SEEK_SET, SEEK_CUR, SEEK_END
    virtual int64_t tell() const = 0;
    virtual int64_t size() const = 0;
    virtual bool flush() = 0;
};

// "proto::path" splits at the first "::"; the protocol is case-insensitive, the path is not. "incbin"
// opens an embedded file for reading only. A name without "::" is a plain file path, read whole first.
std::unique_ptr<TStream> openStream(std::string_view name, bool forWrite);
// A read-only stream over bytes the caller keeps alive, for decoding data that never was a named file.
std::unique_ptr<TStream> openMemoryStream(const uint8_t* data, size_t size);
std::unique_ptr<TStream> openOwnedMemoryStream(std::string bytes);
// A stream writing to a file already open (null for null); it closes the file.
std::unique_ptr<TStream> openFileStream(std::FILE* file);
