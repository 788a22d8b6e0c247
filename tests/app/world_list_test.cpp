// The world lists are visited every frame while their own entries leave and join them: a spark ends in
// the spark pass, a dying enemy takes its particle out of the particle list, a burst appends sparks.
#include "app/world_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace {

struct TEntry {
    int id = 0;
    TListPlace listPlace{};
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

// The list as it was before removal found its entry through an index and left holes for later: every
// removal searched from the front, a removal outside a visit closed the gap at once, and a visit copied
// each entry's handle. The new list must behave exactly like it, visit for visit, whatever is done to it.
namespace reference {

template <class T> class TSearchingList {
public:
    using Handle = std::shared_ptr<T>;

    void add(Handle item) { entries_.push_back(std::move(item)); }

    bool remove(const T* item) {
        if (!item) return false;
        if (visiting_ > 0 && cursor_ < entries_.size() && entries_[cursor_].get() == item)
            return removeAt(cursor_);
        for (size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i].get() == item) return removeAt(i);
        return false;
    }

    bool contains(const T* item) const {
        return std::any_of(entries_.begin(), entries_.end(),
                           [item](const Handle& e) { return e.get() == item; });
    }

    template <class Visit> void forEach(Visit&& visit) {
        ++visiting_;
        const size_t outerCursor = cursor_;
        for (size_t i = 0; i < entries_.size(); ++i) {
            if (!entries_[i]) continue;
            cursor_ = i;
            Handle keep = entries_[i];
            visit(*keep);
        }
        cursor_ = outerCursor;
        if (--visiting_ == 0 && holes_ > 0) {
            std::erase_if(entries_, [](const Handle& e) { return !e; });
            holes_ = 0;
        }
    }

    void clear() {
        if (visiting_ > 0) {
            for (auto& e : entries_)
                if (e) {
                    e.reset();
                    ++holes_;
                }
        } else {
            entries_.clear();
            holes_ = 0;
        }
    }

    size_t size() const { return entries_.size() - holes_; }

    Handle first() const {
        for (const auto& e : entries_)
            if (e) return e;
        return nullptr;
    }

private:
    bool removeAt(size_t i) {
        if (visiting_ > 0) {
            entries_[i].reset();
            ++holes_;
        } else {
            entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
        }
        return true;
    }

    std::vector<Handle> entries_;
    size_t holes_ = 0;
    int visiting_ = 0;
    size_t cursor_ = 0;
};

} // namespace reference

namespace {

// One scripted session of operations, played on both lists from the same seed; the journal records every
// visit and every answer, and the two journals must be equal.
template <class List> std::vector<int> playSession(uint32_t seed) {
    List list;
    std::vector<std::shared_ptr<TEntry>> made; // everything ever made, so that stale pointers stay unique
    std::vector<int> journal;
    uint32_t state = seed;
    const auto roll = [&state](int n) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 8) % static_cast<uint32_t>(n));
    };
    const auto make = [&] {
        made.push_back(std::make_shared<TEntry>(TEntry{static_cast<int>(made.size()) + 1}));
        return made.back();
    };
    const auto any = [&]() -> TEntry* {
        return made.empty() ? nullptr : made[static_cast<size_t>(roll(static_cast<int>(made.size())))].get();
    };
    // Inside a visit: remove the visited entry, another one, append, visit again (nested), or nothing.
    std::function<void(TEntry&, int)> during = [&](TEntry& e, int depth) {
        journal.push_back(e.id);
        switch (roll(10)) {
        case 0:
        case 1:
            journal.push_back(list.remove(&e) ? 1 : 0);
            break;
        case 2:
            journal.push_back(list.remove(any()) ? 1 : 0);
            break;
        case 3:
            list.add(make());
            break;
        case 4:
            if (depth < 2) {
                journal.push_back(-100);
                list.forEach([&](TEntry& inner) { during(inner, depth + 1); });
                journal.push_back(-101);
            }
            break;
        case 5:
            journal.push_back(list.contains(any()) ? 1 : 0);
            break;
        case 6:
            if (roll(40) == 0) list.clear();
            break;
        default:
            break;
        }
    };
    for (int step = 0; step < 3000; ++step) {
        switch (roll(8)) {
        case 0:
        case 1:
        case 2:
            list.add(make());
            break;
        case 3:
        case 4:
            journal.push_back(list.remove(any()) ? 1 : 0);
            break;
        case 5:
            journal.push_back(-200);
            list.forEach([&](TEntry& e) { during(e, 0); });
            break;
        case 6:
            journal.push_back(list.contains(any()) ? 1 : 0);
            break;
        default:
            if (roll(100) == 0) list.clear();
            break;
        }
        journal.push_back(static_cast<int>(list.size()));
        const auto first = list.first();
        journal.push_back(first ? first->id : 0);
        // Stale entries must not pile up for ever: drop what neither list nor journal needs any more.
        if (made.size() > 400) made.erase(made.begin(), made.begin() + 200);
    }
    return journal;
}

TEST(WorldListAgainstTheSearchingList, EveryVisitRemovalAndAnswerIsTheSameInLongRandomSessions) {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        const std::vector<int> expected = playSession<reference::TSearchingList<TEntry>>(seed);
        const std::vector<int> actual = playSession<TWorldList<TEntry>>(seed);
        ASSERT_EQ(actual.size(), expected.size());
        ASSERT_EQ(actual, expected);
    }
}

TEST(WorldListAgainstTheSearchingList, TheSameObjectAddedTwiceIsRemovedFirstCopyFirst) {
    TWorldList<TEntry> list;
    auto a = std::make_shared<TEntry>(TEntry{1}), b = std::make_shared<TEntry>(TEntry{2});
    list.add(a);
    list.add(b);
    list.add(a);
    std::vector<int> seen;
    list.forEach([&](TEntry& e) { seen.push_back(e.id); });
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 1}));
    EXPECT_TRUE(list.remove(a.get()));
    seen.clear();
    list.forEach([&](TEntry& e) { seen.push_back(e.id); });
    EXPECT_EQ(seen, (std::vector<int>{2, 1}));
    EXPECT_TRUE(list.contains(a.get()));
    EXPECT_TRUE(list.remove(a.get()));
    EXPECT_FALSE(list.contains(a.get()));
    EXPECT_EQ(list.size(), 1u);
}

// An entry's place in its list is kept in the entry. Play never puts one object in two lists, or copies a
// listed one; should it happen, each list still finds exactly what it holds.
TEST(WorldListAgainstTheSearchingList, AnObjectInTwoListsOrCopiedIsFoundWhereItIs) {
    TWorldList<TEntry> first, second;
    std::vector<std::shared_ptr<TEntry>> all;
    for (int id = 1; id <= 8; ++id) {
        all.push_back(std::make_shared<TEntry>(TEntry{id}));
        first.add(all.back());
    }
    TEntry& shared = *all[5];
    second.add(all[0]);
    second.add(all[5]); // its place now names the second list's slot
    // Closing the second list's gaps moves the shared entry there, and its place with it.
    EXPECT_TRUE(second.remove(all[0].get()));
    EXPECT_TRUE(first.contains(&shared));
    EXPECT_TRUE(second.contains(&shared));
    EXPECT_TRUE(second.remove(&shared));
    EXPECT_FALSE(second.contains(&shared));
    // Held by one list again, under a place that was the other's.
    EXPECT_TRUE(first.contains(&shared));
    EXPECT_TRUE(first.remove(&shared));
    EXPECT_FALSE(first.contains(&shared));

    // A copy of a listed entry is in no list, and adding it leaves the original where it was.
    auto copy = std::make_shared<TEntry>(*all[2]);
    EXPECT_FALSE(first.contains(copy.get()));
    first.add(copy);
    EXPECT_TRUE(first.remove(all[2].get()));
    EXPECT_TRUE(first.contains(copy.get()));
    std::vector<int> seen;
    first.forEach([&](TEntry& e) { seen.push_back(e.id); });
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 4, 5, 7, 8, 3}));
}

TEST(WorldListAgainstTheSearchingList, ThousandsOfRemovalsLeaveTheOthersInOrder) {
    // Enough to close holes many times over, each time moving the places the entries keep.
    TWorldList<TEntry> list;
    std::vector<std::shared_ptr<TEntry>> all;
    for (int id = 0; id < 20000; ++id) {
        all.push_back(std::make_shared<TEntry>(TEntry{id}));
        list.add(all.back());
    }
    for (int id = 0; id < 20000; ++id) {
        if (id % 3 == 0) continue;
        ASSERT_TRUE(list.remove(all[static_cast<size_t>(id)].get()));
    }
    int expected = 0, count = 0;
    bool ordered = true;
    list.forEach([&](TEntry& e) {
        ordered = ordered && e.id == expected;
        expected += 3;
        ++count;
    });
    EXPECT_TRUE(ordered);
    EXPECT_EQ(count, 6667);
    EXPECT_EQ(list.size(), 6667u);
    for (int id = 0; id < 20000; ++id)
        ASSERT_EQ(list.contains(all[static_cast<size_t>(id)].get()), id % 3 == 0);
}

} // namespace
