// The bytes of an embedded asset, registering the embedded set first (registering twice is harmless: the
// first registration of a name wins).
#pragma once

#include "platform/assets.h"

#include <span>
#include <string_view>

inline std::span<const uint8_t> embeddedAsset(std::string_view name) {
    registerEmbeddedAssets();
    const TAssetEntry* entry = findAsset(name);
    if (!entry) return {};
    return {entry->data, entry->size};
}
