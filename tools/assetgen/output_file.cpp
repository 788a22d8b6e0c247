#include "output_file.h"

#include <cstdio>
#include <cstdlib>

std::string outputPath(const std::string& outDir, std::string_view fileName) {
    return outDir + "/" + std::string(fileName);
}

void failGenerator(const std::string& message) {
    std::fprintf(stderr, "kelvanor_assetgen: %s\n", message.c_str());
    std::exit(1);
}

void writeOutputFile(const std::string& outDir, std::string_view fileName, std::span<const uint8_t> bytes) {
    const std::string path = outputPath(outDir, fileName);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) failGenerator("cannot create " + path);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) failGenerator("cannot write " + path);
}

void writeOutputFile(const std::string& outDir, std::string_view fileName, std::string_view text) {
    writeOutputFile(outDir, fileName,
                    std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}
