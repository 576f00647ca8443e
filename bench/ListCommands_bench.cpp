// Times each playlist editing command at 10,000 and at 100,000 entries in one run
// and prints time(100k) / time(10k). A linear command gives about 10, a sorting
// one about 12; anything quadratic shows as about 100. Target: <= 15.
#include "entries/ListCommands.h"

#include "../tests/unit/MemoryRowStore.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <time.h>
#include <vector>

namespace {

class TNoLock : public IEntryLock {
public:
    void Acquire() override {}
    void Release() override {}
};

int CompareIgnoringCase(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int ca = std::tolower(static_cast<unsigned char>(a[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string RandomWord(std::mt19937& gen, int length) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ ";
    std::string s;
    for (int i = 0; i < length; ++i) s += letters[gen() % (sizeof letters - 1)];
    return s;
}

// One playlist of n entries with records, reloaded into a fresh store per run.
struct TPlaylist {
    std::vector<std::unique_ptr<TMP3FileInfo>> Records;
    std::vector<TRow> Rows;

    explicit TPlaylist(int n) {
        std::mt19937 gen(static_cast<unsigned>(n));
        for (int i = 0; i < n; ++i) {
            auto rec = std::make_unique<TMP3FileInfo>();
            rec->SetFileName("C:\\Music\\" + RandomWord(gen, 8) + "\\" + RandomWord(gen, 12) + ".mp3");
            rec->SetTitle(RandomWord(gen, 20));
            Rows.push_back({std::string(rec->Title()), reinterpret_cast<std::uintptr_t>(rec.get())});
            Records.push_back(std::move(rec));
        }
    }
};

using TSetup = std::function<void(TMemoryRowStore&)>;
using TCommand = std::function<void(TMemoryRowStore&, int& playing)>;

// CPU time of this thread: the machine is shared, and wall time would count the
// time other processes ran.
double ThreadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// A store that removes rows through the interface's generic DeleteRows, as a
// store without its own one-pass version does.
class TFallbackStore : public TMemoryRowStore {
public:
    using TMemoryRowStore::TMemoryRowStore;
    void DeleteRows(const std::vector<int>& rows) override { IRowStore::DeleteRows(rows); }
};

bool gUseFallback = false;

// One run of a command on a fresh store, in seconds; setup is not timed.
double TimeOnce(const TPlaylist& playlist, const TSetup& setup, const TCommand& command) {
    TFallbackStore fallback(gUseFallback ? playlist.Rows : std::vector<TRow>{});
    TMemoryRowStore plain(gUseFallback ? std::vector<TRow>{} : playlist.Rows);
    TMemoryRowStore& store = gUseFallback ? fallback : plain;
    if (setup) setup(store);
    int playing = store.Count() / 2;
    const double start = ThreadSeconds();
    command(store, playing);
    return ThreadSeconds() - start;
}

struct TPair {
    double Small = 1e9;
    double Large = 1e9;
};

// Best of several rounds; each round runs both sizes back to back so that both
// see the same machine load.
TPair TimeBoth(const TPlaylist& small, const TPlaylist& large, const TSetup& setup, const TCommand& command) {
    TPair best;
    for (int round = 0; round < 7; ++round) {
        best.Small = std::min(best.Small, TimeOnce(small, setup, command));
        best.Small = std::min(best.Small, TimeOnce(small, setup, command));
        best.Large = std::min(best.Large, TimeOnce(large, setup, command));
    }
    return best;
}

// Reference for the memory hierarchy: n + 1 exchanges of random rows of a plain
// row array, the bare memory traffic of randomising. At 10,000 rows the array
// fits the core's cache, at 100,000 it does not, so even this loop scales by
// more than 10.
double TimeRandomSwaps(const TPlaylist& playlist, int runs) {
    double best = 1e9;
    for (int run = 0; run < runs; ++run) {
        std::vector<TRow> rows = playlist.Rows;
        TPlaylistRandom random;
        random.Seed(1);
        const auto n = static_cast<std::uint32_t>(rows.size());
        const double start = ThreadSeconds();
        for (std::uint32_t k = 0; k <= n; ++k) {
            const std::uint32_t a = random.Next(n);
            const std::uint32_t b = random.Next(n);
            std::swap(rows[a], rows[b]);
        }
        best = std::min(best, ThreadSeconds() - start);
    }
    return best;
}

void SelectWhere(TMemoryRowStore& store, const std::function<bool(int)>& pick) {
    for (int i = 0; i < store.Count(); ++i)
        if (pick(i)) store.SetSelected(i, true);
}

}  // namespace

int main() {
    const TPlaylist small(10000);
    const TPlaylist large(100000);
    TNoLock lock;
    const TDestroyRecord keep = [](std::uintptr_t) {};  // the playlists own the records
    TPlaylistRandom random;

    struct TCase {
        const char* Name;
        TSetup Setup;
        TCommand Command;
    };
    const std::vector<TCase> cases{
        {"move up, most rows selected", [](TMemoryRowStore& s) { SelectWhere(s, [](int i) { return i % 10 != 0; }); },
         [&](TMemoryRowStore& s, int& p) { MoveSelectedEntries(s, p, lock, TMoveDirection::Up); }},
        {"move down, most rows selected",
         [](TMemoryRowStore& s) { SelectWhere(s, [&](int i) { return i % 10 != 9 && i != s.Count() - 1; }); },
         [&](TMemoryRowStore& s, int& p) { MoveSelectedEntries(s, p, lock, TMoveDirection::Down); }},
        {"remove half", [](TMemoryRowStore& s) { SelectWhere(s, [](int i) { return i % 2 == 0; }); },
         [&](TMemoryRowStore& s, int& p) { RemoveEntries(s, p, lock, TRemoveMode::Selected, keep); }},
        {"crop to a third", [](TMemoryRowStore& s) { SelectWhere(s, [](int i) { return i % 3 == 0; }); },
         [&](TMemoryRowStore& s, int& p) { RemoveEntries(s, p, lock, TRemoveMode::Crop, keep); }},
        {"remove half, generic DeleteRows", [](TMemoryRowStore& s) { SelectWhere(s, [](int i) { return i % 2 == 0; }); },
         [&](TMemoryRowStore& s, int& p) { RemoveEntries(s, p, lock, TRemoveMode::Selected, keep); }},
        {"crop, generic DeleteRows", [](TMemoryRowStore& s) { SelectWhere(s, [](int i) { return i % 3 == 0; }); },
         [&](TMemoryRowStore& s, int& p) { RemoveEntries(s, p, lock, TRemoveMode::Crop, keep); }},
        {"remove all", nullptr,
         [&](TMemoryRowStore& s, int& p) { RemoveEntries(s, p, lock, TRemoveMode::All, keep); }},
        {"select all", nullptr, [](TMemoryRowStore& s, int&) { ChangeSelection(s, TSelectCommand::All); }},
        {"unselect all", [](TMemoryRowStore& s) { SelectWhere(s, [](int) { return true; }); },
         [](TMemoryRowStore& s, int&) { ChangeSelection(s, TSelectCommand::None); }},
        {"inverse selection", [](TMemoryRowStore& s) { SelectWhere(s, [](int i) { return i % 4 == 0; }); },
         [](TMemoryRowStore& s, int&) { ChangeSelection(s, TSelectCommand::Inverse); }},
        {"sort by title", nullptr,
         [&](TMemoryRowStore& s, int& p) { SortEntries(s, p, lock, TSortKey::Title, CompareIgnoringCase); }},
        {"sort by file name", nullptr,
         [&](TMemoryRowStore& s, int& p) { SortEntries(s, p, lock, TSortKey::FileName, CompareIgnoringCase); }},
        {"sort by path", nullptr,
         [&](TMemoryRowStore& s, int& p) { SortEntries(s, p, lock, TSortKey::Path, CompareIgnoringCase); }},
        {"sort an already sorted list", [&](TMemoryRowStore& s) {
             int p = -1;
             SortEntries(s, p, lock, TSortKey::Title, CompareIgnoringCase);
         },
         [&](TMemoryRowStore& s, int& p) { SortEntries(s, p, lock, TSortKey::Title, CompareIgnoringCase); }},
        {"reverse", [](TMemoryRowStore& s) { SelectWhere(s, [](int i) { return i % 2 == 0; }); },
         [&](TMemoryRowStore& s, int& p) { ReverseEntries(s, p, lock); }},
        {"randomize", [](TMemoryRowStore& s) { SelectWhere(s, [](int i) { return i % 2 == 0; }); },
         [&](TMemoryRowStore& s, int& p) { RandomizeEntries(s, p, lock, random, 49530250u); }},
    };

    std::printf("%-32s %12s %12s %8s\n", "command", "10k (ms)", "100k (ms)", "ratio");
    bool allWithin = true;
    for (const TCase& c : cases) {
        gUseFallback = std::string(c.Name).find("generic") != std::string::npos;
        const TPair t = TimeBoth(small, large, c.Setup, c.Command);
        const double t10 = t.Small;
        const double t100 = t.Large;
        const double ratio = t10 > 0 ? t100 / t10 : 0;
        if (ratio > 15) allWithin = false;
        std::printf("%-32s %12.3f %12.3f %8.1f%s\n", c.Name, t10 * 1e3, t100 * 1e3, ratio, ratio > 15 ? "  > 15" : "");
    }
    // Sorting on precomputed keys (here the lower-case text stands in for the
    // locale's sort key) against one pass making the keys: the quicksort on the
    // keys plus the check of n - 1 adjacent pairs with the comparison. The
    // stand-in keys cost a small fraction of the locale's, so the ratio here shows
    // the work around the keys; the target (<= 3) is judged by the Wine bench.
    const TCollation keyed(CompareIgnoringCase, [](std::string_view t, std::string& out) {
        for (char c : t) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    });
    for (const TPlaylist* p : {&small, &large}) {
        double floor = 1e9, sorted = 1e9;
        TSortPath path = TSortPath::Direct;
        for (int round = 0; round < 5; ++round) {
            std::string arena;
            double start = ThreadSeconds();
            for (const TRow& r : p->Rows) keyed.AppendKey(r.Text, arena);
            floor = std::min(floor, ThreadSeconds() - start);
            TMemoryRowStore store(p->Rows);
            int playing = 0;
            start = ThreadSeconds();
            SortEntries(store, playing, lock, TSortKey::Title, keyed, nullptr, &path);
            sorted = std::min(sorted, ThreadSeconds() - start);
        }
        const double ratio = sorted / floor;
        std::printf("%-32s %7zu rows %9.3f ms  stand-in key pass %8.3f ms  ratio %6.1f%s\n",
                    "sort by title on keys", p->Rows.size(), sorted * 1e3, floor * 1e3, ratio,
                    path == TSortPath::Keys ? "" : "  (keys rejected)");
    }
    const double r10 = TimeRandomSwaps(small, 14);
    const double r100 = TimeRandomSwaps(large, 7);
    std::printf("%-32s %12.3f %12.3f %8.1f\n", "(reference: random row swaps)", r10 * 1e3, r100 * 1e3, r100 / r10);
    std::printf("%s\n", allWithin ? "every command within the target ratio of 15"
                                  : "some command exceeds the target ratio of 15");
    return 0;
}
