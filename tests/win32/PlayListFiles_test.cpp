// Playlist files in the real plug-in: "Save list..." through the system's save
// dialog, what other players wrote read by a drop, the round trip of each type,
// and "Add File..." and "Add URL...". Dialogs are filled in by a worker thread.
#include <windows.h>
#include <gtest/gtest.h>
#include <fstream>
#include <iterator>
#include <mutex>
#include "DialogDriver.h"
#include "DropBuilder.h"
#include "MessageBoxCatcher.h"
#include "PlayListFixture.h"
#include "base/Text_win.h"
#include "playlist/PlayList_win.h"

namespace {
constexpr int kFileTypeList = 0x470;  // cmb1
constexpr int kFileNameBox = 0x47c;   // cmb13
constexpr int kFileNameEdit = 0x480;  // edt1

struct TDialogSeen {
    std::wstring Title, CancelText;
    std::vector<std::wstring> FilterTexts;
    int Filters = -1, Filter = -1;
    std::vector<std::wstring> Boxes;  // message boxes on the way, in order
};

class PlayListFiles : public TPlayListTest {
protected:
    void SetUp() override {
        TPlayListTest::SetUp();
        SetCurrentDirectoryA(Dir().c_str());  // where the dialogs start the first time
    }
    void TearDown() override {
        SetCurrentDirectoryA("C:\\");  // the test folder must be removable
        TPlayListTest::TearDown();
    }
    void Drop(const std::vector<std::string>& files) {
        SendMessageW(PlayListWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(files)), 0);
        Pump();
    }
    std::string ReadAll(const std::string& name) {
        std::ifstream in(PathIn(name), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    // Runs `command` and answers its dialog: the filter (from 0; -1 keeps it),
    // the name (or the URL), then OK; Yes to an overwrite prompt, OK to a box.
    TDialogSeen Answer(std::function<void()> command, const std::wstring& name, int filter = -1, bool cancel = false) {
        TDialogSeen seen;
        std::mutex m;
        {
            TDialogDriver driver(GetCurrentThreadId(), [&](HWND dlg) {
                std::lock_guard<std::mutex> lock(m);
                HWND types = GetDlgItem(dlg, kFileTypeList);
                HWND url = GetDlgItem(dlg, 1100);
                if (!types && !url) {
                    seen.Boxes.push_back(TextOf(GetDlgItem(dlg, 0xFFFF)));
                    PostMessageW(dlg, WM_COMMAND, GetDlgItem(dlg, IDYES) ? IDYES : IDOK, 0);
                    return;
                }
                seen.Title = TextOf(dlg);
                seen.CancelText = TextOf(GetDlgItem(dlg, IDCANCEL));
                if (types) {
                    seen.Filters = static_cast<int>(SendMessageW(types, CB_GETCOUNT, 0, 0));
                    seen.Filter = static_cast<int>(SendMessageW(types, CB_GETCURSEL, 0, 0));
                    for (int i = 0; i < seen.Filters; ++i) {
                        wchar_t text[256] = {};
                        SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
                        seen.FilterTexts.push_back(text);
                    }
                    if (filter >= 0) {
                        SendMessageW(types, CB_SETCURSEL, filter, 0);
                        SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(kFileTypeList, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
                    }
                }
                SetDlgItemTextW(dlg, url ? 1100 : GetDlgItem(dlg, kFileNameBox) ? kFileNameBox : kFileNameEdit, name.c_str());
                if (cancel) PressCancel(dlg);
                else PressOk(dlg);
            });
            command();
        }
        return seen;
    }
    TDialogSeen Save(const std::wstring& name, int filter = -1) {
        return Answer([&] { Key('S', false, true); }, name, filter);
    }
};
}  // namespace

TEST_F(PlayListFiles, SavedListsCarryTheLengthsReadFromTheFiles) {
    WriteFile("plugin.ini", "[VelvetLister Plug-in]\r\nOption.Locale=0000\r\n");
    const std::string a = PathIn("a.mp3"), b = WriteMp3("b.mp3", "B");
    ASSERT_TRUE(CopyFileA(VL_TEST_DATA_DIR "/lengths/cbr-plain.mp3", a.c_str(), FALSE));  // 4 s
    StartHost();
    host->Playlist = {a, b};
    StartPlugin();
    Pump();
    Save(L"list");
    const std::string m3u = ReadAll("list.m3u");
    EXPECT_NE(m3u.find("#EXTINF:4,"), std::string::npos) << m3u;
    EXPECT_NE(m3u.find("#EXTINF:-1,B"), std::string::npos) << m3u;
}

TEST_F(PlayListFiles, SaveDialogFiltersTypesFolderAndOverwritePrompt) {
    const auto files = StartWith(3);
    host->TrackLengths[files[1]] = 215;
    host->SetPosition(1);
    Pump();
    ASSERT_TRUE(CreateDirectoryA(PathIn("sub").c_str(), nullptr));
    const TDialogSeen first = Save(L"list");
    EXPECT_EQ(first.Title, L"Save list");
    EXPECT_EQ(first.Filters, 3);
    EXPECT_EQ(first.Filter, 0);
    EXPECT_EQ(first.FilterTexts, (std::vector<std::wstring>{L"M3U playlist (*.m3u)", L"M3U8 playlist, UTF-8 (*.m3u8)",
                                                         L"PLS playlist (*.pls)"}));
    std::string m3u = "#EXTM3U\r\n";
    for (int i = 0; i < 3; ++i)
        m3u += "#EXTINF:" + std::string(i == 1 ? "215" : "-1") + ",Song " + std::to_string(i) + "\r\n" + files[i] + "\r\n";
    EXPECT_EQ(ReadAll("list.m3u"), m3u) << "the filter's extension added, in the folder the dialog started in";

    // ".pls" chosen, saved by a full path into another folder.
    const TDialogSeen second = Answer([&] { Menu(PopupItemSaveList); },
                                      AnsiToWide(PathIn("sub\\list")), 2);
    EXPECT_EQ(second.Filter, 0);
    EXPECT_EQ(ReadAll("sub\\list.pls").rfind("[playlist]\r\nFile1=" + files[0] + "\r\nTitle1=Song 0\r\nLength1=-1\r\n", 0), 0u);
    // Next time: the last filter, the folder of the last list; the extension names the type.
    const TDialogSeen third = Save(L"LIST.M3U8");
    EXPECT_EQ(third.Filter, 2) << "PLS";
    EXPECT_EQ(ReadAll("sub\\LIST.M3U8"), m3u);
    // An existing list: the dialog asks, and Yes replaces it.
    Key(VK_DELETE, true, true);
    EXPECT_EQ(Save(L"list").Boxes.size(), 1u) << "one overwrite prompt";
    EXPECT_EQ(ReadAll("sub\\list.pls"), "[playlist]\r\nNumberOfEntries=0\r\nVersion=2\r\n");
}

TEST_F(PlayListFiles, ALockedTargetStaysAsItWasAndOneBoxSaysWhy) {
    StartWith(2);
    WriteFile("locked.m3u", "old");
    HANDLE lock = CreateFileA(PathIn("locked.m3u").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const TDialogSeen seen = Save(L"locked.m3u");
    CloseHandle(lock);
    ASSERT_EQ(seen.Boxes.size(), 2u) << "the overwrite prompt, then the failure";
    const std::wstring head = L"Cannot save the list\n\n" + AnsiToWide(PathIn("locked.m3u")) + L"\n\n";
    EXPECT_EQ(seen.Boxes[1].rfind(head, 0), 0u) << std::string(seen.Boxes[1].begin(), seen.Boxes[1].end());
    EXPECT_GT(seen.Boxes[1].size(), head.size() + 3) << "the system's error text";
    EXPECT_EQ(ReadAll("locked.m3u"), "old");
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(PathIn("*.tmp").c_str(), &fd);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE) << "no new file left: " << fd.cFileName;
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
}

// Saved as each type and dropped on an empty window: the same entries in the same
// order. Under code page 932 with names holding 0x5C trail bytes ("表", "ソ") and
// Japanese titles, under 1252 with accented names and titles.
TEST_F(PlayListFiles, EachTypeRoundTripsTheList) {
    const bool sjis = GetACP() == 932;
    const std::string folder = sjis ? "\x95\x5C" : "caf\xE9";
    ASSERT_TRUE(CreateDirectoryA(PathIn(folder).c_str(), nullptr));
    const std::vector<std::string> titles =
        sjis ? std::vector<std::string>{"\x93\xFA\x96\x7B\x8C\xEA", "\x83\x5C\x83\x74\x83\x67", "c"}
             : std::vector<std::string>{"Caf\xE9", "b", "Na\xEFve"};
    std::vector<std::string> files = {WriteMp3(folder + "\\" + (sjis ? "\x83\x5C" : "\xE9t\xE9") + ".mp3", titles[0]),
                                      WriteMp3(folder + "\\b.mp3", titles[1]), WriteMp3("c.mp3", titles[2])};
    StartWith(0);
    Drop(files);
    ASSERT_EQ(Rows(), titles);
    for (const char* ext : {".m3u", ".m3u8", ".pls"}) {
        const TDialogSeen seen = Save(AnsiToWide(PathIn(folder + "\\list" + ext)));
        EXPECT_TRUE(seen.Boxes.empty()) << ext;
        Key(VK_DELETE, true, true);
        ASSERT_TRUE(Rows().empty());
        Drop({PathIn(folder + "\\list" + ext)});
        EXPECT_EQ(Rows(), titles) << ext;
        EXPECT_EQ(host->Playlist, files) << ext;
    }
}

TEST_F(PlayListFiles, ReadsWhatOtherPlayersWrote) {
    StartWith(0);
    WriteMp3("a.mp3", "A");
    ASSERT_TRUE(CreateDirectoryA(PathIn("sub").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(PathIn("lists").c_str(), nullptr));
    WriteMp3("sub\\b.mp3", "B");
    // A name the code page cannot hold: read by its short name.
    const std::wstring outside = GetACP() == 932 ? L"caf\xE9.mp3" : L"\x66F2.mp3";
    const std::wstring outsidePath = AnsiToWide(Dir()) + L"\\" + outside;
    ASSERT_TRUE(MoveFileW(AnsiToWide(WriteMp3("o.mp3", "Outside")).c_str(), outsidePath.c_str()));
    struct TRemove {  // the clean-up's narrow names cannot reach it
        const std::wstring& Path;
        ~TRemove() { DeleteFileW(Path.c_str()); }
    } remove{outsidePath};
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(outsidePath.c_str(), shortPath, MAX_PATH), 0u);
    WriteFile("lists\\x.m3u8", "\xEF\xBB\xBF#EXTM3U\n#EXTINF:1,A\n..\\a.mp3\r\n..\\" + WideToUtf8(outside) +
                                   "\r..\\missing.mp3\n" + WideToUtf8(AnsiToWide(PathIn("sub\\b.mp3"))));
    WriteFile("lists\\y.pls", "[Playlist]\r\nNumberOfEntries=9\r\n File2 = ..\\a.mp3 \r\nfile1=..\\sub\\b.mp3\r\nTitle1=x\r\n");
    WriteFile("lists\\z.m3u", "..\\a.mp3\n..\\sub\\b.mp3\r..\\a.mp3");
    Drop({PathIn("lists\\x.m3u8"), PathIn("lists\\y.pls"), PathIn("lists\\z.m3u")});
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A", "Outside", "B", "B", "A", "A", "B", "A"}));
    ASSERT_EQ(host->Playlist.size(), 8u);
    EXPECT_EQ(host->Playlist[1], WideToAnsi(shortPath));
    // A playlist that exists but cannot be read stops the drop with the input/output error.
    HANDLE lock = CreateFileA(PathIn("lists\\y.pls").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    {
        TMessageBoxCatcher boxes;
        Drop({PathIn("lists\\z.m3u"), PathIn("lists\\y.pls")});
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Texts()[0].rfind(L"I/O error", 0), 0u);
    }
    CloseHandle(lock);
    EXPECT_EQ(Rows().size(), 8u) << "the list unchanged";

}

TEST_F(PlayListFiles, AddFileAndAddURLAppendWithoutPlaying) {
    StartWith(2);
    host->SetPosition(1);
    WriteMp3("b.mp3", "Bee");
    WriteMp3("A.mp3", "Ay");
    const TDialogSeen file = Answer([&] { Key(VK_INSERT); }, L"\"b.mp3\" \"A.mp3\"");
    EXPECT_EQ(file.Title, L"Add file(s)");
    EXPECT_EQ(file.Filters, 14);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Song 0", "Song 1", "Ay", "Bee"}));
    EXPECT_EQ(host->Playlist.size(), 4u);
    EXPECT_EQ(host->Position, 1);
    EXPECT_NE(host->State, TPlayState::Playing);

    const std::wstring address = L"  http://radio.example/live?x=1&y=2  ";
    const TDialogSeen url = Answer([&] { Menu(PopupItemAddURL); }, address);
    EXPECT_EQ(url.Title, L"Add URL");
    EXPECT_EQ(url.CancelText, L"Cancel");
    ASSERT_EQ(Rows().size(), 5u);
    EXPECT_EQ(Rows().back(), WideToAnsi(address)) << "the whole text is the title";
    EXPECT_EQ(host->Playlist.back(), WideToAnsi(address)) << "the host gets the text unchanged";
    host->ClearMessages();
    Answer([&] { Menu(PopupItemAddURL); }, L" \t ");
    EXPECT_EQ(Rows().size(), 5u);
    EXPECT_EQ(host->CountOf(host->Main(), WM_COPYDATA), 0);
}

TEST_F(PlayListFiles, JapaneseDialogTexts) {
    StartWith(1, false);
    const TDialogSeen save = Answer([&] { Key('S', false, true); }, L"", -1, true);
    EXPECT_EQ(save.Title, W("リストの保存"));
    EXPECT_EQ(save.FilterTexts, (std::vector<std::wstring>{W("M3U プレイリスト (*.m3u)"), W("M3U8 プレイリスト UTF-8 (*.m3u8)"),
                                                        W("PLS プレイリスト (*.pls)")}));
    EXPECT_EQ(Answer([&] { Key(VK_INSERT); }, L"", -1, true).Title, W("ファイルの追加"));
    const TDialogSeen url = Answer([&] { Menu(PopupItemAddURL); }, L"x", -1, true);
    EXPECT_EQ(url.Title, W("URLの追加"));
    EXPECT_EQ(url.CancelText, W("キャンセル"));
    EXPECT_EQ(Rows().size(), 1u);
}

namespace {
// A host of version 5.3, which keeps Unicode names.
class PlayListFilesUnicode : public PlayListFiles {
protected:
    TTestHostOptions HostOptions() override {
        TTestHostOptions o;
        o.Version = 0x5030;
        return o;
    }
    std::wstring Made(const std::wstring& path) {
        made_.insert(made_.begin(), path);  // the fixture's 8-bit clean-up cannot name it
        return path;
    }
    void TearDown() override {
        PlayListFiles::TearDown();
        for (const std::wstring& p : made_) DeleteFileW(p.c_str()) || RemoveDirectoryW(p.c_str());
    }
    std::vector<std::wstring> made_;
};
}  // namespace

TEST_F(PlayListFilesUnicode, ListedUnicodeNamesReachTheHostWholeAndAreSavedAsUtf8) {
    // Outside 1252: all of them; outside 932: the Hangul folder and file.
    const std::wstring dir = AnsiToWide(Dir()), folder = Made(dir + L"\\서울");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::vector<std::wstring> names = {L"Москва.mp3", L"Αθήνα.mp3", L"東京.mp3", L"서울\\부산.mp3"};
    std::vector<std::wstring> files;
    for (size_t k = 0; k < names.size(); ++k) {
        files.push_back(Made(dir + L"\\" + names[k]));
        ASSERT_TRUE(MoveFileW(AnsiToWide(WriteMp3("w.tmp", "T" + std::to_string(k))).c_str(), files[k].c_str()));
    }
    // Relative to the list's folder, absolute, and beside the list.
    WriteFile("l.tmp", "\xEF\xBB\xBF#EXTM3U\r\n..\\" + WideToUtf8(names[0]) + "\r\n" + WideToUtf8(files[1]) +
                           "\n..\\" + WideToUtf8(names[2]) + "\r\n" + WideToUtf8(L"부산.mp3") + "\r\n");
    const std::wstring list = Made(folder + L"\\목록.m3u8");
    ASSERT_TRUE(MoveFileW(AnsiToWide(PathIn("l.tmp")).c_str(), list.c_str()));
    StartWith(0);
    SendMessageW(PlayListWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeWideDrop({list}, POINT{1, 1000})), 0);
    Pump();
    const std::vector<std::string> titles = {"T0", "T1", "T2", "T3"};
    EXPECT_EQ(Rows(), titles);
    EXPECT_EQ(host->WidePlaylist, files) << "pushed by their wide names";

    std::string m3u8 = "#EXTM3U\r\n";
    for (size_t k = 0; k < files.size(); ++k) m3u8 += "#EXTINF:-1," + titles[k] + "\r\n" + WideToUtf8(files[k]) + "\r\n";
    EXPECT_TRUE(Save(AnsiToWide(PathIn("saved.m3u8"))).Boxes.empty());
    EXPECT_EQ(ReadAll("saved.m3u8"), m3u8);
    // In the code page: the names it cannot hold by their short names, which still read back.
    for (const char* ext : {".m3u", ".pls"}) {
        Save(AnsiToWide(PathIn(std::string("saved") + ext)));
        EXPECT_EQ(ReadAll(std::string("saved") + ext).find('?'), std::string::npos) << ext;
        Key(VK_DELETE, true, true);
        Drop({PathIn(std::string("saved") + ext)});
        EXPECT_EQ(Rows(), titles) << ext;
    }
    WriteFile("u.pls", "\xEF\xBB\xBF[playlist]\r\nFile1=" + WideToUtf8(files[3]) + "\r\n");
    Drop({PathIn("u.pls")});
    EXPECT_EQ(host->WidePlaylist.back(), files[3]) << "a UTF-8 .pls";
}

// Hangul is outside 1252 and 932 alike: a URL or a missing file with it has no 8-bit form and no short name.
TEST_F(PlayListFilesUnicode, AURLGoesWideAndNamesWithoutAnyCodePageFormAreLeftOutOfM3uAndPls) {
    const std::wstring file = Made(AnsiToWide(Dir()) + L"\\서울.mp3"), url = L"http://例え.jp/서울?x=1";
    ASSERT_TRUE(MoveFileW(AnsiToWide(WriteMp3("w.tmp", "Seoul")).c_str(), file.c_str()));
    wchar_t shortName[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(file.c_str(), shortName, MAX_PATH), 0u);
    StartHost();
    host->WidePlaylist = {file, AnsiToWide(Dir()) + L"\\없다.mp3"};
    StartPlugin();
    Answer([&] { Menu(PopupItemAddURL); }, url);
    EXPECT_EQ(host->WidePlaylist.back(), url) << "pushed by its wide text";
    for (const char* ext : {".m3u", ".pls"}) {
        const TDialogSeen seen = Save(AnsiToWide(PathIn(std::string("saved") + ext)));
        ASSERT_EQ(seen.Boxes.size(), 1u) << ext;  // in the default Japanese captions
        EXPECT_EQ(seen.Boxes[0].rfind(W("このファイル形式で書けなかった項目: 2 件\n"), 0), 0u);
        const std::string saved = ReadAll(std::string("saved") + ext);
        EXPECT_EQ(saved.find('?'), std::string::npos) << saved;
        EXPECT_NE(saved.find(WideToAnsi(shortName)), std::string::npos) << "the file by its short name";
    }
    EXPECT_TRUE(Save(AnsiToWide(PathIn("saved.m3u8"))).Boxes.empty());
    EXPECT_NE(ReadAll("saved.m3u8").find(WideToUtf8(url)), std::string::npos);
}
