// The nearby index against the whole-list walks they stand in for, over long random
// sessions: entries join and leave between and during queries, move and say so, sit outside the arena, on
// cell edges, at NaN or infinity, with odd reaches, and queries come from anywhere. Every answer must be
// the walk's own.
#include "app/nearby_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <vector>

namespace {

struct TDot {
    TVector position;
    float radius = 0;
    int id = 0;
    int kind = 0;
    TListPlace listPlace{};
};

const TVector& dotPosition(const TDot& dot) {
    return dot.position;
}
float dotRadius(const TDot& dot) {
    return dot.radius;
}
int dotKind(const TDot& dot) {
    return dot.kind;
}

constexpr float arenaLeft = 40, arenaTop = -25; // the arena need not start at the origin
constexpr float inf = std::numeric_limits<float>::infinity();
constexpr float nan = std::numeric_limits<float>::quiet_NaN();

class TSession {
public:
    explicit TSession(uint32_t seed) : random(seed) {}

    // The odd values are rare enough that most queries are settled by where the dots are: a dot at NaN
    // is inside every query, and the first of them would answer most.
    float coordinate(float low, float high) {
        const int odd = pick(400);
        if (odd == 0) return nan;
        if (odd == 1) return pick(2) ? inf : -inf;
        if (odd < 10) return low - 5000 + real(0, 4000);                 // far outside
        if (odd < 30) return low + 32.0f * static_cast<float>(pick(40)); // on a cell edge
        return real(low - 100, high + 100);
    }

    float radius() {
        const int odd = pick(400);
        if (odd == 0) return nan;
        if (odd == 1) return inf;
        if (odd < 10) return -real(0, 50);
        if (odd < 20) return real(100, 700);
        return real(0, 48);
    }

    TVector point() {
        return {coordinate(arenaLeft, arenaLeft + 1024), coordinate(arenaTop, arenaTop + 640)};
    }

    std::shared_ptr<TDot> dot() {
        auto made = std::make_shared<TDot>();
        made->position = point();
        made->radius = radius();
        made->id = nextId++;
        made->kind = pick(4);
        return made;
    }

    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }
    float real(float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); }

    std::mt19937 random;
    int nextId = 1;
};

// The game's own test: inside unless at least as far as the radius, so a NaN distance is inside.
bool inside(const TVector& at, float reach, const TDot& dot) {
    return !(at.distanceTo(dot.position) >= dot.radius + reach);
}

struct NearbyIndexSession : ::testing::TestWithParam<uint32_t> {
    TWorldList<TDot> list;
    TNearbyIndex<TDot> index{dotPosition, dotRadius};
    TNearbyIndex<TDot> counted{dotPosition, dotRadius, [](const TDot& dot) { return dot.kind != 3; }};
    TNearbyIndex<TDot> keyed{dotPosition, dotRadius, nullptr, dotKind};
    // Separation's: wider cells, and a grid per key, fewer grids than kinds so that two kinds share one.
    TNearbyIndex<TDot, 64, 4> wideKeyed{dotPosition, dotRadius, nullptr, dotKind};
    std::vector<TDot*> all; // every dot ever made, alive while the session lasts
    std::vector<std::shared_ptr<TDot>> keep;

    void add(TSession& session) {
        keep.push_back(session.dot());
        list.add(keep.back());
    }

    void removeSome(TSession& session, int count) {
        for (int i = 0; i < count && !keep.empty(); ++i)
            list.remove(keep[static_cast<size_t>(session.pick(static_cast<int>(keep.size())))].get());
    }

    int firstInsideByWalk(const TVector& at, float reach) {
        int id = 0;
        list.forEachUntil([&](TDot& dot) {
            if (!inside(at, reach, dot)) return false;
            id = dot.id;
            return true;
        });
        return id;
    }

    std::vector<int> allInsideByWalk(const TVector& at, float reach) {
        std::vector<int> ids;
        list.forEach([&](TDot& dot) {
            if (inside(at, reach, dot)) ids.push_back(dot.id);
        });
        return ids;
    }
};

TEST_P(NearbyIndexSession, AnswersAsTheWholeListWalkDoes) {
    TSession session(GetParam());
    for (int i = 0; i < 300; ++i)
        add(session);
    size_t queries = 0, matches = 0;
    for (int pass = 0; pass < 150; ++pass) {
        // Between passes the dots move, as the world does between its passes.
        for (auto& dot : keep)
            if (session.pick(3) == 0) dot->position = session.point();
        removeSome(session, session.pick(20));
        for (int i = session.pick(25); i > 0; --i)
            add(session);

        index.open(list, arenaLeft, arenaTop);
        counted.open(list, arenaLeft, arenaTop);
        keyed.open(list, arenaLeft, arenaTop);
        wideKeyed.open(list, arenaLeft, arenaTop);
        for (int q = 0; q < 40; ++q) {
            const TVector at = session.pick(15) == 0 ? session.point()
                                                     : TVector{session.real(0, 1100), session.real(-40, 640)};
            const float reach = session.pick(3) == 0 ? session.real(0, 320) : session.pick(40) == 0 ? nan : 0;
            ++queries;

            // First inside, in list order; a hit takes the dot off the list and brings two new ones,
            // as a shot does to a splitter, so later queries meet holes and joiners.
            const int expected = firstInsideByWalk(at, reach);
            const auto firstInside = [&](int& id) {
                return [&](TDot& dot) {
                    if (!inside(at, reach, dot)) return false;
                    id = dot.id;
                    return true;
                };
            };
            int found = 0, foundAcrossGrids = 0;
            index.forEachNearInOrder(at, reach, firstInside(found));
            wideKeyed.forEachNearInOrder(at, reach, firstInside(foundAcrossGrids)); // as a well, any kind
            ASSERT_EQ(found, expected) << "seed " << GetParam() << " pass " << pass << " query " << q;
            ASSERT_EQ(foundAcrossGrids, expected) << "seed " << GetParam() << " pass " << pass;
            if (found != 0) {
                ++matches;
                list.remove(
                    std::find_if(keep.begin(), keep.end(), [&](auto& d) { return d->id == found; })->get());
                add(session);
                add(session);
            }

            // Every dot inside, each once, whatever the order.
            std::vector<int> expectedAll = allInsideByWalk(at, reach);
            std::vector<int> foundAll;
            index.forEachNear(at, reach, [&](TDot& dot) {
                if (inside(at, reach, dot)) foundAll.push_back(dot.id);
            });
            std::sort(expectedAll.begin(), expectedAll.end());
            std::sort(foundAll.begin(), foundAll.end());
            ASSERT_EQ(foundAll, expectedAll) << "seed " << GetParam() << " pass " << pass << " query " << q;

            const int kind = session.pick(5); // for the walk by kind below

            // Kind 3 never counts for the second index, as dying enemies never count for shots.
            int expectedCounted = 0;
            list.forEachUntil([&](TDot& dot) {
                if (dot.kind == 3 || !inside(at, reach, dot)) return false;
                expectedCounted = dot.id;
                return true;
            });
            int foundCounted = 0;
            counted.forEachNearInOrder(at, reach, [&](TDot& dot) {
                if (dot.kind == 3 || !inside(at, reach, dot)) return false;
                foundCounted = dot.id;
                return true;
            });
            ASSERT_EQ(foundCounted, expectedCounted) << "seed " << GetParam() << " pass " << pass;

            // One kind from a slot on, in list order, each with where it stands, as separation walks its
            // own kind; like separation, the walk moves what it visits, and says so.
            const size_t from =
                session.pick(3) ? 0 : static_cast<size_t>(session.pick(int(list.slotCount()) + 1));
            const auto walkKeyed = [&](auto& walker) {
                std::vector<int> expectedKeyed;
                for (size_t slot = from; slot < list.slotCount(); ++slot)
                    if (TDot* dot = list.atSlot(slot); dot && dot->kind == kind && inside(at, reach, *dot))
                        expectedKeyed.push_back(dot->id);
                std::vector<int> foundKeyed;
                walker.forEachNearWithKeyInOrder(at, reach, kind, from, [&](TDot& dot, const TVector& where) {
                    EXPECT_EQ(std::memcmp(&where, &dot.position, sizeof where), 0) << "seed " << GetParam();
                    if (inside(at, reach, dot)) foundKeyed.push_back(dot.id);
                    if (session.pick(3) == 0) {
                        dot.position = {dot.position.x + session.real(-40, 40),
                                        dot.position.y + session.real(-40, 40)};
                        index.moved(dot);
                        counted.moved(dot);
                        keyed.moved(dot);
                        wideKeyed.moved(dot);
                    }
                    return false;
                });
                ASSERT_EQ(foundKeyed, expectedKeyed)
                    << "seed " << GetParam() << " pass " << pass << " query " << q;
            };
            walkKeyed(keyed);
            walkKeyed(wideKeyed);

            if (session.pick(4) == 0) removeSome(session, 3);
            // A dot moved during the pass, as separation moves enemies, and said so.
            if (session.pick(3) == 0 && !keep.empty()) {
                TDot& dot = *keep[static_cast<size_t>(session.pick(static_cast<int>(keep.size())))];
                dot.position = session.pick(2) ? session.point()
                                               : TVector{dot.position.x + session.real(-60, 60),
                                                         dot.position.y + session.real(-60, 60)};
                index.moved(dot);
                counted.moved(dot);
                keyed.moved(dot);
                wideKeyed.moved(dot);
            }
        }
        wideKeyed.close();
        keyed.close();
        counted.close();
        index.close();
    }
    // The session must have exercised both outcomes many times over.
    EXPECT_GT(matches, queries / 10);
    EXPECT_LT(matches, queries);
}

INSTANTIATE_TEST_SUITE_P(Seeds, NearbyIndexSession, ::testing::Values(1u, 2u, 3u, 77u, 2026u));

struct NearbyIndexHold : ::testing::Test {
    TWorldList<TDot> list;
    TNearbyIndex<TDot> index{dotPosition, dotRadius};
};

TEST_F(NearbyIndexHold, EntriesKeepTheirSlotsAndStayAliveWhileOpen) {
    std::vector<std::weak_ptr<TDot>> watched;
    for (int i = 0; i < 8; ++i) {
        auto dot = std::make_shared<TDot>(TDot{{100.0f + 10 * i, 100}, 5, i + 1, 0});
        watched.push_back(dot);
        list.add(dot);
    }
    index.open(list, 0, 0);
    for (int i = 0; i < 6; ++i)
        list.remove(watched[static_cast<size_t>(i)].lock().get());
    // Six of eight gone would close the gaps at once, were the order not held.
    EXPECT_EQ(list.slotCount(), 8u);
    EXPECT_EQ(list.atSlot(0), nullptr);
    EXPECT_EQ(list.atSlot(7)->id, 8);
    EXPECT_FALSE(watched[0].expired());
    index.close();
    EXPECT_EQ(list.slotCount(), 2u);
    EXPECT_TRUE(watched[0].expired());
}

TEST_F(NearbyIndexHold, EntriesThatJoinDuringAWalkAreWalkedToo) {
    list.add(std::make_shared<TDot>(TDot{{500, 300}, 5, 1, 0}));
    index.open(list, 0, 0);
    std::vector<int> seen;
    index.forEachNear({500, 300}, 10, [&](TDot& dot) {
        seen.push_back(dot.id);
        if (dot.id < 3) list.add(std::make_shared<TDot>(TDot{{900, 600}, 5, dot.id + 1, 0}));
    });
    index.close();
    // The joiners are far away but unplaced: candidates all the same, as the whole walk would visit them.
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
}

} // namespace
