// TListPlace: where an object stands in the world list that holds it. Kept in the object itself, so that a
// list finds an entry it is asked to remove where the object already is in memory, instead of through a
// table of addresses that a busy arena's tens of thousands of entries spread over megabytes.
#pragma once

#include <cstdint>

struct TListPlace {
    TListPlace() = default;
    // A copy of an object is in no list.
    TListPlace(const TListPlace&) {}
    TListPlace& operator=(const TListPlace&) { return *this; }

    uint32_t slot = 0;        // in the list that added it last, kept up as that list closes its gaps
    uint32_t memberships = 0; // how many times lists hold it: above one, its slot cannot say which
};
