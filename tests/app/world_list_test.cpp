// The world lists are visited every frame while their own entries leave and join them: a spark ends in
// the spark pass, a dying enemy takes its particle out of the particle list, a burst appends sparks.
#include "app/world_list.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct TEntry {
    int id = 0;
};

struct WorldListVisit : ::testing::Test {
    TWorldList<TEntry> list;
    std::vector<std::shared_ptr<TEntry>> entries;
    std::vector<int> visited;

    void SetUp() override {
        for (int id = 1; id <= 5; ++id) {
            entries.push_back(std::make_shared<TEntry>(TEntry{id}));
            list.add(entries.back());
        }
    }

    std::vector<int> ids() {
        std::vector<int> result;
        list.forEach([&](TEntry& e) { result.push_back(e.id); });
        return result;
    }
};

TEST_F(WorldListVisit, RemovingTheVisitedEntryContinuesWithTheOneAfterIt) {
    list.forEach([&](TEntry& e) {
        visited.push_back(e.id);
        if (e.id == 2 || e.id == 3) list.remove(&e);
    });
    EXPECT_EQ(visited, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(ids(), (std::vector<int>{1, 4, 5}));
    EXPECT_EQ(list.size(), 3u);
}

TEST_F(WorldListVisit, AnEntryThatRemovesItselfStaysAliveUntilItsVisitEnds) {
    std::weak_ptr<TEntry> third = entries[2];
    entries.clear(); // the list now holds the only references
    list.forEach([&](TEntry& e) {
        if (e.id != 3) return;
        list.remove(&e);
        EXPECT_FALSE(third.expired());
        EXPECT_EQ(e.id, 3); // still readable after its own removal
    });
    EXPECT_TRUE(third.expired());
}

TEST_F(WorldListVisit, ALaterEntryRemovedDuringTheVisitIsNotVisited) {
    list.forEach([&](TEntry& e) {
        visited.push_back(e.id);
        if (e.id == 2) list.remove(entries[3].get());
    });
    EXPECT_EQ(visited, (std::vector<int>{1, 2, 3, 5}));
}

TEST_F(WorldListVisit, AnEarlierEntryRemovedDuringTheVisitNeitherSkipsNorRepeatsTheRest) {
    list.forEach([&](TEntry& e) {
        visited.push_back(e.id);
        if (e.id == 3) list.remove(entries[0].get());
    });
    EXPECT_EQ(visited, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(ids(), (std::vector<int>{2, 3, 4, 5}));
}

TEST_F(WorldListVisit, EntriesAppendedDuringTheVisitAreVisitedByIt) {
    list.forEach([&](TEntry& e) {
        visited.push_back(e.id);
        if (e.id == 2) list.add(std::make_shared<TEntry>(TEntry{6}));
    });
    EXPECT_EQ(visited, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(list.size(), 6u);
}

TEST_F(WorldListVisit, RemovalInsideANestedVisitIsSeenByBothVisits) {
    // A shot's update visits the enemies while the enemy pass is itself visiting them.
    list.forEach([&](TEntry& outer) {
        visited.push_back(outer.id);
        if (outer.id != 2) return;
        list.forEach([&](TEntry& inner) {
            if (inner.id == 4) list.remove(&inner);
        });
    });
    EXPECT_EQ(visited, (std::vector<int>{1, 2, 3, 5}));
    EXPECT_EQ(ids(), (std::vector<int>{1, 2, 3, 5}));
}

} // namespace
