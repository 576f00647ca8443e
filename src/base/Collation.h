#pragma once
// A text collation as the list algorithms see it: the comparison that decides,
// and optionally a sort key per text that orders the same way under memcmp.
//
// Comparing precomputed keys is much cheaper than asking the locale once per
// comparison (the system's comparison converts both texts every time), but the
// keys are only trusted after the result has been checked against the comparison
// itself: see SortEntries.
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

// < 0, 0 or > 0 like strcmp, over the whole of both texts (not NUL-terminated).
using TCompareText = std::function<int(std::string_view, std::string_view)>;

// Appends the sort key of a text to out. Two texts' keys compare with memcmp
// (shorter first when one is a prefix of the other) as the texts compare.
using TAppendSortKey = std::function<void(std::string_view, std::string&)>;

struct TCollation {
    // Any comparison converts to a collation without keys.
    template <class F>
        requires std::is_invocable_r_v<int, F, std::string_view, std::string_view>
    TCollation(F compare, TAppendSortKey appendKey = nullptr)  // NOLINT(google-explicit-constructor)
        : Compare(std::move(compare)), AppendKey(std::move(appendKey)) {}
    TCompareText Compare;
    TAppendSortKey AppendKey;  // may be empty: then every comparison asks Compare
};

// How a sort reached its order.
enum class TSortPath {
    Direct,        // Compare for every comparison
    Keys,          // sort keys, confirmed by Compare on every adjacent pair
    KeysRejected,  // the keys disagreed with Compare somewhere: sorted again with Compare
};
