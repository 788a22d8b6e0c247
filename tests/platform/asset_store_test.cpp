#include "platform/assets.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

const uint8_t firstBytes[] = {0x89, 'P', 'N', 'G', 1, 2, 3, 4, 5, 6};
const uint8_t secondBytes[] = {9, 9};

std::string readAll(TStream& stream) {
    std::string bytes;
    char buffer[4];
    size_t count;
    while ((count = stream.read(buffer, sizeof buffer)) > 0)
        bytes.append(buffer, count);
    return bytes;
}

} // namespace

TEST(AssetStore, FirstRegistrationOfANameWins) {
    EXPECT_EQ(registerAsset("store_first.bin", firstBytes, sizeof firstBytes), 1);
    EXPECT_EQ(registerAsset("store_first.bin", secondBytes, sizeof secondBytes), 0);
    const TAssetEntry* entry = findAsset("store_first.bin");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->data, firstBytes);
    EXPECT_EQ(entry->size, sizeof firstBytes);
    EXPECT_EQ(findAsset("store_missing.bin"), nullptr);
}

TEST(AssetStore, IncbinStreamsReadTheCarriedBytesWithoutCopying) {
    registerAsset("store_stream.bin", firstBytes, sizeof firstBytes);
    auto stream = openStream("incbin::store_stream.bin", false);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->size(), static_cast<int64_t>(sizeof firstBytes));
    EXPECT_EQ(readAll(*stream), std::string(reinterpret_cast<const char*>(firstBytes), sizeof firstBytes));

    EXPECT_TRUE(stream->seek(-3, SEEK_END));
    EXPECT_EQ(stream->tell(), 7);
    uint8_t byte = 0;
    EXPECT_EQ(stream->read(&byte, 1), 1u);
    EXPECT_EQ(byte, 4);
    EXPECT_FALSE(stream->seek(-1, SEEK_SET));
    EXPECT_FALSE(stream->seek(11, SEEK_SET));
    EXPECT_EQ(stream->write(&byte, 1), 0u);
}

TEST(AssetStore, ProtocolIsCaseInsensitiveButNamesAreNot) {
    registerAsset("Store_Case.bin", firstBytes, sizeof firstBytes);
    EXPECT_NE(openStream("INCBIN::Store_Case.bin", false), nullptr);
    EXPECT_NE(openStream("InCbIn::Store_Case.bin", false), nullptr);
    EXPECT_EQ(openStream("incbin::store_case.bin", false), nullptr);
    EXPECT_EQ(openStream("incbin::Store_Case.bin::", false), nullptr);
}

TEST(AssetStore, WritingAnEmbeddedFileOrAnUnknownProtocolFails) {
    registerAsset("store_write.bin", firstBytes, sizeof firstBytes);
    EXPECT_EQ(openStream("incbin::store_write.bin", true), nullptr);
    EXPECT_EQ(openStream("zip::store_write.bin", false), nullptr);
    EXPECT_EQ(openStream("incbin::never_registered.bin", false), nullptr);
}

TEST(AssetStore, NamesWithoutProtocolArePlainFiles) {
    const std::string path = "asset_store_plain.txt";
    {
        auto out = openStream(path, true);
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(out->write("hello", 5), 5u);
        EXPECT_TRUE(out->flush());
    }
    auto in = openStream(path, false);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->size(), 5);
    EXPECT_EQ(readAll(*in), "hello");
    std::remove(path.c_str());
    EXPECT_EQ(openStream("no_such_dir/none.txt", false), nullptr);
}
