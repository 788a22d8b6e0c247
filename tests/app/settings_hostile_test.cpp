// The settings file against what a stranger's archive or a broken disk may put in the working directory:
// links where the game writes, a config.ini that cannot be read, a second game saving the same table,
// and a save that fails. Each case goes through the game's own file functions in a scratch directory.
#include "settings_fixture.h"

#include "app/settings/settings_file.h"
#include "platform/safe_write.h"
#include "play/grid.h"
#include "scores/hiscore_table.h"

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

namespace fs = std::filesystem;

// Outside the scratch directory, as a file a planted link would aim at (a shell start-up file, say).
class HostileFilesTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        outside = fs::absolute("../outside-" + std::to_string(::getpid()) + ".txt");
        writeFile(outside.string(), "the player's own file\n");
    }
    void TearDown() override {
        fs::remove(outside);
        fs::remove(fs::path(outside).replace_extension(".missing"));
        SettingsTest::TearDown();
    }
    bool isLink(const char* path) { return fs::is_symlink(fs::symlink_status(path)); }

    fs::path outside;
};

namespace {

// A finished run in the table, as the name entry leaves it.
void enter(THiscoreTable& table, const std::string& name, int score) {
    TScoreRecord& lowest = *table.lowest;
    lowest.name = name, lowest.brag = "", lowest.score = score, lowest.kills = {}, lowest.shotsFired = 0;
    lowest.shotsHit = 0;
    table.sort();
}

int placeOf(const THiscoreTable& table, const std::string& name) {
    for (size_t i = 0; i < table.entries.size(); ++i)
        if (table.entries[i]->name == name) return static_cast<int>(i);
    return -1;
}

} // namespace

// No link is written through, where it stands or where it points: the outside file stays as it was and
// config.ini ends up a file of its own.
TEST_F(HostileFilesTest, ASaveNeverWritesThroughALink) {
    const fs::path missing = fs::path(outside).replace_extension(".missing");
    struct TPlanted {
        const char* name;
        fs::path target;
    };
    for (const TPlanted& planted : {TPlanted{"config.ini.tmp", outside}, TPlanted{"config.ini", outside},
                                    TPlanted{"config.ini", missing}, TPlanted{"config.ini.tmp", missing}}) {
        SCOPED_TRACE(std::string(planted.name) + " -> " + planted.target.string());
        fs::remove("config.ini");
        fs::remove("config.ini.tmp");
        fs::create_symlink(planted.target, planted.name);
        EXPECT_TRUE(game->saveSettings());
        EXPECT_EQ(readFile(outside.string()), "the player's own file\n");
        EXPECT_FALSE(fs::exists(missing)) << "a dangling link's target is not created";
        EXPECT_FALSE(isLink("config.ini"));
        EXPECT_EQ(readLines("config.ini").size(), 167u);
        EXPECT_FALSE(fs::exists(fs::symlink_status("config.ini.tmp")));
    }
    // Reading through a link the player made on purpose is fine.
    fs::remove("config.ini");
    writeFile(outside.string(), "[Grid]\r\n0\r\n");
    fs::create_symlink(outside, "config.ini");
    game->loadSettings();
    EXPECT_EQ(game->grid->enabled, 0);
}

TEST_F(HostileFilesTest, ASafeWriteStaysBelowTheWorkingDirectory) {
    EXPECT_TRUE(writeFileSafely("runs/best.kvr", "run"));
    EXPECT_EQ(readFile("runs/best.kvr"), "run");
    EXPECT_TRUE(writeFileSafely("runs/best.kvr", "again")) << "replaced";
    EXPECT_EQ(readFile("runs/best.kvr"), "again");
    EXPECT_FALSE(writeFileSafely("runs/best.kvr", "new", SafeWriteMode::CreateNew)) << "never over a file";

    fs::create_directory(fs::path(outside).replace_extension(".d"));
    fs::create_symlink(fs::path(outside).replace_extension(".d"), "linked");
    for (const char* refused :
         {"", "/tmp/x", "../x", "runs/../../x", "runs//x", "./x", "runs/", "linked/x"}) {
        EXPECT_FALSE(writeFileSafely(refused, "bytes")) << refused;
    }
    EXPECT_TRUE(fs::is_empty(fs::path(outside).replace_extension(".d")))
        << "nothing through the linked folder";
    fs::remove("linked");
    fs::remove(fs::path(outside).replace_extension(".d"));
}

// What is there but cannot be read starts the game with its defaults at once, and is never replaced in
// that session. An alarm ends the test instead of letting a hanging read hang the suite.
TEST_F(HostileFilesTest, AnUnreadableSettingsFileIsNeverReplaced) {
    struct TCase {
        const char* what;
        void (*make)();
    };
    const TCase cases[] = {
        {"a directory", [] { fs::create_directory("config.ini"); }},
        {"a pipe nobody writes to", [] { ASSERT_EQ(::mkfifo("config.ini", 0600), 0); }},
        {"larger than any table",
         [] {
             writeFile("config.ini",
                       std::string(SettingsFile::ByteLimit + 1, '\n').insert(0, "[Grid]\r\n0\r\n"));
         }},
        // Root reads every file, so there a directory stands in for the unreadable one.
        {"no read permission",
         [] {
             if (::geteuid() == 0) {
                 fs::create_directory("config.ini");
             } else {
                 writeFile("config.ini", "[Grid]\r\n0\r\n");
                 fs::permissions("config.ini", fs::perms::none);
             }
         }},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.what);
        test.make();
        const auto before = fs::status("config.ini").type();
        ::alarm(5);
        game->loadSettings();
        ::alarm(0);
        EXPECT_TRUE(game->settingsUnreadable);
        EXPECT_EQ(game->grid->enabled, 1) << "the defaults";
        EXPECT_FALSE(game->saveSettings());
        EXPECT_EQ(fs::status("config.ini").type(), before) << "left as it was";
        fs::permissions("config.ini", fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all("config.ini");
    }
    game->loadSettings(); // no file at all is no reason to keep from saving
    EXPECT_FALSE(game->settingsUnreadable);
    EXPECT_TRUE(game->saveSettings());
}

// Two games started from one table: each enters its own run and saves; neither erases the other's.
TEST_F(HostileFilesTest, TwoGamesSavingOneTableKeepBothRuns) {
    const auto other = THiscoreTable::create(); // the default table both started from
    enter(*other, "OTHER", 9950);
    writeFile("config.ini", "");
    {
        const TextFile file = openTextForWrite("config.ini");
        writeTextLine(file, "[Hiscore]");
        other->write(file);
        closeTextFile(file);
    }
    enter(*game->hiscores, "MINE", 9650);
    ASSERT_TRUE(game->saveSettings());
    game->loadSettings();
    const THiscoreTable& table = *game->hiscores;
    EXPECT_EQ(placeOf(table, "OTHER"), 1);
    EXPECT_EQ(placeOf(table, "MINE"), 5);
    EXPECT_EQ(table.entries.back()->score, 9300) << "the best ten of both, each default entry once";

    // Saving again changes nothing: every entry is already in both.
    const std::string saved = readFile("config.ini");
    ASSERT_TRUE(game->saveSettings());
    EXPECT_EQ(readFile("config.ini"), saved);
}

// A save that fails keeps the old file and says so on the screen for a few seconds.
TEST_F(HostileFilesTest, AFailedSaveShowsItsNoteForAFewSeconds) {
    writeFile("config.ini", "[Grid]\r\n1\r\n");
    game->grid->enabled = 0;
    saveSteps.rename = [](std::string_view, std::string_view) { return false; };
    EXPECT_FALSE(game->saveSettings());
    EXPECT_EQ(readFile("config.ini"), "[Grid]\r\n1\r\n");
    EXPECT_EQ(game->noteText, "SETTINGS COULD NOT BE SAVED");
    stepFrames(60);
    EXPECT_GT(game->noteTime, 0);
    stepFrames(200);
    EXPECT_LE(game->noteTime, 0);

    // Escape on the title then waits for the note before the program ends, instead of vanishing.
    const auto quitAndLook = [this](bool waitForTheNote) {
        game->quitProgram();
        if (waitForTheNote) stepFrames(300);
        std::_Exit(game->leaveAfterNote ? 7 : 9);
    };
    EXPECT_EXIT(quitAndLook(false), testing::ExitedWithCode(7), "");
    EXPECT_EXIT(quitAndLook(true), testing::ExitedWithCode(0), "");
}
