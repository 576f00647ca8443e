// Titles in every script, and the host's wide names (5.3 and later), in the playlist window.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "DropBuilder.h"
#include "PlayListSyncFixture.h"

TEST_F(PlayListSync, TagTitlesInEveryScriptOnAnEightBitHost) {
    std::vector<std::string> names;
    std::vector<std::wstring> titles;
    UnicodeSongs(names, titles);
    StartHost();
    host->Playlist = names;
    StartPlugin();
    ExpectUnicodeTitles(titles);
}

TEST_F(PlayListSyncUnicode, WideNamesSurviveASortARemovalAndADropNameForName) {
    // Each code page lacks some of these: 1252 the Cyrillic, Greek, CJK and Hangul
    // ones, 932 the Hangul and the Danish letters. "東京" and "서울" share the 8-bit
    // name "??.mp3" under 1252.
    const std::vector<std::wstring> names = {L"Москва.mp3", L"Αθήνα.mp3", L"東京.mp3", L"서울.mp3", L"Ærøskøbing.mp3"};
    std::vector<std::wstring> files;
    for (size_t k = 0; k < names.size(); ++k) files.push_back(WriteWideMp3(names[k], "T" + std::to_string(names.size() - k)));
    const std::wstring stream = L"http://例え.jp/ラジオ";
    StartHost();
    host->WidePlaylist = files;
    host->WidePlaylist.push_back(stream);
    StartPlugin();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"T5", "T4", "T3", "T2", "T1", host->AnsiName(5)}))
        << "read by their wide names, the stream kept";
    SendMessageW(PlayListWindow(), WM_COMMAND, MAKEWPARAM(PopupItemSortTitle, 0), 0);
    std::vector<std::wstring> expected{stream};  // "http..." before "T..."
    expected.insert(expected.end(), files.rbegin(), files.rend());
    EXPECT_EQ(host->WidePlaylist, expected);
    HWND list = FindWindowExW(PlayListWindow(), nullptr, L"TPlayListBox", nullptr);
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    SendMessageW(list, LB_SETSEL, TRUE, 1);
    SendMessageW(list, WM_KEYDOWN, VK_DELETE, 0);
    expected.erase(expected.begin() + 1);
    EXPECT_EQ(host->WidePlaylist, expected);
    // Behind the plug-in's back "東京" becomes "서울", the same 8-bit name under
    // 1252: the report still sees another file there.
    ASSERT_EQ(host->WidePlaylist[2], files[2]);
    host->WidePlaylist[2] = files[3];
    host->SetPosition(2);
    EXPECT_EQ(Rows()[2], "T2");
    expected[2] = files[3];

    // Dropped files and folders keep their wide names.
    CreateDirectoryW((Wide(Dir()) + L"\\Ελλάδα").c_str(), nullptr);
    const std::wstring inFolder = WriteWideMp3(L"Ελλάδα\\Κρήτη.mp3", "Crete"), dropped = WriteWideMp3(L"Київ.mp3", "Kyiv");
    SendMessageW(PlayListWindow(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeWideDrop({dropped, Wide(Dir()) + L"\\Ελλάδα"}, POINT{1, 1000})), 0);
    ASSERT_EQ(host->WidePlaylist.size(), expected.size() + 2);
    EXPECT_EQ(std::vector<std::wstring>(host->WidePlaylist.end() - 2, host->WidePlaylist.end()),
              (std::vector<std::wstring>{dropped, inFolder}));
    EXPECT_EQ(Rows().back(), "Crete");
}

TEST_F(PlayListSyncUnicode, RemoveDeadFilesLooksFilesUpByTheirWideNames) {
    // "서울" is outside 1252 and 932 alike: its 8-bit name "??.mp3" names no file.
    const std::vector<std::wstring> files = {WriteWideMp3(L"Москва.mp3", "M"), WriteWideMp3(L"서울.mp3", "S")};
    StartHost();
    host->WidePlaylist = {files[0], Wide(Dir()) + L"\\Пропало.mp3", files[1], Wide(Dir()) + L"\\없다.mp3"};
    StartPlugin();
    SendMessageW(PlayListWindow(), WM_COMMAND, MAKEWPARAM(PopupItemDeleteDeadFiles, 0), 0);
    EXPECT_EQ(host->WidePlaylist, files) << "the missing ones go, the existing ones stay";
    EXPECT_EQ(Rows(), (std::vector<std::string>{"M", "S"}));
}

TEST_F(PlayListSyncUnicode, FilesThatShareAnEightBitNameStayApartInDuplicatesAndRebuilds) {
    // "서울", "부산" and "대구" are all "??.mp3" under 1252 and 932, "東京" too under 1252.
    const std::vector<std::wstring> files = {WriteWideMp3(L"서울.mp3", "S"), WriteWideMp3(L"부산.mp3", "B"),
                                             WriteWideMp3(L"東京.mp3", "T")};
    StartHost();
    host->WidePlaylist = {files[0], files[1], files[2], files[0]};
    StartPlugin();
    host->SetPosition(2);
    Command(PopupItemDeleteDuplicates);
    EXPECT_EQ(host->WidePlaylist, files) << "only the second 서울 goes";
    EXPECT_EQ(host->Position, 2);
    Seam()->HoldReader = 1;  // a rebuild keeps each entry its own title while its file is read again
    host->WidePlaylist = {files[1], files[0], files[2]};
    host->SetPosition(0);
    for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&m);
    EXPECT_EQ(RowsNow(), (std::vector<std::string>{"B", "S", "T"}));
    Seam()->HoldReader = 0;
    host->WidePlaylist[1] = WriteWideMp3(L"대구.mp3", "D");  // the wide name alone changes: a step
    host->SetPosition(1);
    auto* form = static_cast<TFormPlayList*>(reinterpret_cast<TWindow*>(GetWindowLongPtrW(PlayListWindow(), GWLP_USERDATA)));
    EXPECT_GE(form->Steps().History().Bytes(), 6 * sizeof(TMP3FileInfo)) << "the records only the steps keep count";
    Command(PopupItemUndo);
    EXPECT_EQ(host->WidePlaylist, (std::vector<std::wstring>{files[1], files[0], files[2]}));
}

TEST_F(PlayListSyncUnicode, TagTitlesInEveryScriptAndUntaggedWideNamesOnAUnicodeHost) {
    std::vector<std::string> names;
    std::vector<std::wstring> titles;
    UnicodeSongs(names, titles);
    // Untagged under a name 1252 cannot hold: titled by its wide name, not "??".
    const std::wstring untagged = WriteWideMp3(L"東京.mp3", "");
    StartHost();
    for (const std::string& n : names) host->WidePlaylist.push_back(Utf8ToWide(n));
    host->WidePlaylist.push_back(untagged);
    titles.push_back(L"東京");
    StartPlugin();
    ExpectUnicodeTitles(titles);
}
