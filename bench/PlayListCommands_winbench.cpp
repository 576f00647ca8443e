// Every editing command of the playlist window at 10,000 and at 100,000 entries,
// side by side in one run, on the real window and list control, each ending in
// its push to an emulated host. Prints both times and time(100k) / time(10k):
// linear work gives 10, n log n about 12.5; a quadratic step would give 100.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestHost.h"
#include "host/PluginState_win.h"
#include "playlist/PlayList_win.h"

namespace {

double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

// A fixed pseudo-random order, so both sizes sort comparable data.
unsigned g_state = 12345;
unsigned NextRandom() { return g_state = g_state * 1103515245u + 12345u; }

void Fill(TFormPlayList& form, int n) {
    TEntryList entries;
    for (int i = 0; i < n; ++i) {
        auto rec = std::make_unique<TMP3FileInfo>();
        const unsigned r = NextRandom() % 1000000u;
        rec->SetFileName("C:\\Music\\Artist " + std::to_string(r % 211) + "\\" + std::to_string(r) + " Track.mp3");
        rec->SetTitle("Title " + std::to_string(NextRandom() % 1000000u));
        std::string title = "Artist " + std::to_string(r % 97) + " - " + std::string(rec->Title());
        entries.Add(std::move(title), std::move(rec));
    }
    form.ReplaceEntries(entries.Take());
    form.PlayingIndex = n / 3;
}

void SelectWhere(TFormPlayList& form, const std::function<bool(int)>& pick) {
    TPlayListBox& list = *form.ListBox;
    TUpdateGuard updates(list);
    for (int i = 0; i < list.Count(); ++i) list.SetSelected(i, pick(i));
}

struct TCase {
    const char* Name;
    std::function<void(TFormPlayList&)> Prepare;  // not timed
    std::function<void(TFormPlayList&)> Run;      // timed
};

std::vector<TCase> Cases() {
    return {
        {"move up (most selected)", [](TFormPlayList& f) { SelectWhere(f, [](int i) { return i % 10 != 0; }); },
         [](TFormPlayList& f) { f.MoveSelected(TMoveDirection::Up); }},
        {"move down (most selected)", [](TFormPlayList& f) { SelectWhere(f, [&](int i) { return i % 10 != 9; }); },
         [](TFormPlayList& f) { f.MoveSelected(TMoveDirection::Down); }},
        {"select all", nullptr, [](TFormPlayList& f) { f.ClickMenuItem(PopupItemSelectAll); }},
        {"select none", nullptr, [](TFormPlayList& f) { f.ClickMenuItem(PopupItemSelectClear); }},
        {"select inverse", [](TFormPlayList& f) { SelectWhere(f, [](int i) { return i % 3 == 0; }); },
         [](TFormPlayList& f) { f.ClickMenuItem(PopupItemSelectInverse); }},
        {"sort by title", nullptr, [](TFormPlayList& f) { f.ClickMenuItem(PopupItemSortTitle); }},
        {"sort by filename", nullptr, [](TFormPlayList& f) { f.ClickMenuItem(PopupItemSortFilename); }},
        {"sort by path", nullptr, [](TFormPlayList& f) { f.ClickMenuItem(PopupItemSortPath); }},
        {"reverse", nullptr, [](TFormPlayList& f) { f.ClickMenuItem(PopupItemSortReverse); }},
        {"randomise", nullptr, [](TFormPlayList& f) { f.ClickMenuItem(PopupItemSortRandomize); }},
        {"push alone", nullptr, [](TFormPlayList& f) { f.PushListToHost(); }},
        {"remove half", [](TFormPlayList& f) { SelectWhere(f, [](int i) { return i % 2 == 0; }); },
         [](TFormPlayList& f) { f.ClickMenuItem(PopupItemDeleteFile); }},
        {"crop (keep half)", [](TFormPlayList& f) { SelectWhere(f, [](int i) { return i % 2 == 0; }); },
         [](TFormPlayList& f) { f.ClickMenuItem(PopupItemDeleteCrop); }},
        {"remove all", nullptr, [](TFormPlayList& f) { f.ClickMenuItem(PopupItemDeleteAll); }},
    };
}

double Measure(TTestHost& host, TFormPlayList& form, const TCase& c, int n) {
    // Each case starts from a fresh list of n entries in the host and the window.
    Fill(form, n);
    form.PushListToHost();
    host.ClearMessages();
    if (c.Prepare) c.Prepare(form);
    const double t0 = Now();
    c.Run(form);
    const double t = Now() - t0;
    host.ClearMessages();
    return t;
}

}  // namespace

// An optional argument keeps only the commands whose name contains it.
int main(int argc, char** argv) {
    const std::string only = argc > 1 ? argv[1] : "";
    TTestHost host;
    Plugin.HostMainWindow = host.Main();
    auto owned = std::make_unique<TFormPlayList>();
    TFormPlayList& form = *owned;
    if (!form.Create()) return 1;
    ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
    std::printf("playlist commands on the real window and list, each with its push to the host (seconds)\n");
    std::printf("  %-28s %10s %10s %8s\n", "command", "10,000", "100,000", "ratio");
    double worst = 0;
    for (const TCase& c : Cases()) {
        if (!only.empty() && std::string(c.Name).find(only) == std::string::npos) continue;
        const double small = Measure(host, form, c, 10000);
        const double large = Measure(host, form, c, 100000);
        const double ratio = large / small;
        if (ratio > worst) worst = ratio;
        std::printf("  %-28s %10.4f %10.4f %8.1f\n", c.Name, small, large, ratio);
        std::fflush(stdout);
    }
    std::printf("  highest ratio %.1f (target 15)\n", worst);
    owned.reset();
    Plugin.HostMainWindow = nullptr;
    return 0;
}
