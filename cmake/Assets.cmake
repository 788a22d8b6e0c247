# Placeholder until the asset generator lands: an empty asset library so that everything links.
set(KELVANOR_ASSET_DIR ${CMAKE_BINARY_DIR}/assets)
file(WRITE ${CMAKE_BINARY_DIR}/generated/embedded_assets.cpp
    "#include \"platform/assets.h\"\nvoid registerEmbeddedAssets() {}\n")
add_library(kelvanor_assets STATIC ${CMAKE_BINARY_DIR}/generated/embedded_assets.cpp)
target_include_directories(kelvanor_assets PRIVATE ${CMAKE_SOURCE_DIR}/src)
add_custom_target(assets)
