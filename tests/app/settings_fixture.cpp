#include "settings_fixture.h"

#include "app/settings/settings_file.h"

#include <fstream>
#include <sstream>

void SettingsTest::SetUp() {
    previousDirectory = std::filesystem::current_path();
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    scratchDirectory =
        previousDirectory / (std::string("scratch-") + test->test_suite_name() + "." + test->name());
    if (GTEST_FLAG_GET(internal_run_death_test).empty()) std::filesystem::remove_all(scratchDirectory);
    std::filesystem::create_directories(scratchDirectory);
    std::filesystem::current_path(scratchDirectory);
    // The game reads its settings while it is created, so it must start in the empty directory.
    GameTest::SetUp();
}

void SettingsTest::TearDown() {
    GameTest::TearDown();
    saveSteps = TSaveSteps{};
    std::filesystem::current_path(previousDirectory);
    std::filesystem::remove_all(scratchDirectory);
}

void SettingsTest::writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string SettingsTest::readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> SettingsTest::readLines(const std::string& path) {
    const std::string bytes = readFile(path);
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "the last line of " << path << " does not end with CR LF";
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}
