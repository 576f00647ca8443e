#pragma once
// Entries coming into the playlist window's list: a path and what it names (a
// folder walked, a playlist file's names, an audio file), the host's own
// entries, dropped names, and folders walked on the reader thread while the
// window goes on.
#include <windows.h>
#include <shellapi.h>
#include <string>
#include <vector>

class TFormPlayList;
class TMP3FileInfo;
class TEntryList;
class TDirectoryScan;
struct TFoundFile;
struct TBackgroundAdd;

class TEntryAdding {
public:
    explicit TEntryAdding(TFormPlayList& form) : form_(form) {}
    TEntryAdding(const TEntryAdding&) = delete;
    TEntryAdding& operator=(const TEntryAdding&) = delete;

    // `wide`: the path's wide form on a host that keeps Unicode names (empty otherwise).
    int AddPath(TEntryList& target, const std::string& path, bool expand, const std::wstring& wide = {});
    // An existing file (no directory, no playlist file) with an audio extension: what
    // AddPath reads. Anything else the host holds is kept without being read.
    bool IsReadableAudioFile(const std::string& path, const std::wstring& wide = {}) const;
    // Exactly one entry for a name of the host's playlist (and its wide name):
    // one to read (showing what `earlier`, the list's record of that name, held),
    // or kept.
    void AddHostEntry(TEntryList& target, const std::string& name, const std::wstring& wide = {},
                      const TMP3FileInfo* earlier = nullptr);
    // A kept entry whose file has appeared (the drive came back) is read and
    // retitled; false when there was nothing to read.
    bool ReadKeptEntryIfPresent(int i);

    // The dropped names in their order; a skin file among them is set aside. Releases the drop.
    std::vector<TFoundFile> DroppedNames(HDROP drop, std::string& skinFile);
    // Adds the names' entries before row at (-1: at the end), or in place of
    // the list; one undo step. Returns how many came.
    int AddDropped(const std::vector<TFoundFile>& names, int at, bool replace);

    // Adds a folder tree at the end of the list as the reader thread finds its
    // files, the window handling its messages meanwhile (RunMessagesWhileBusy);
    // Esc stops it at any moment, keeping the entries already in the list.
    // One step, one push.
    void AddFolderInBackground(const std::string& folder, const std::wstring& wide);
    // The entries of names in order, before row at (-1: at the end), or the
    // first of them in place of the list. Folders are walked on the reader
    // thread, as above (a replacing one keeps, on Esc, the entries collected
    // so far); no undo step and no push of its own. Returns how many came.
    int AddInBackground(const std::vector<TFoundFile>& names, int at, bool replace);
    // A folder is being added in the background: a host report that would
    // rebuild the list is let go (the push at the end sets the host's list).
    bool Scanning() const { return scanningFolder_; }

private:
    int AddDirectory(TEntryList& target, const std::string& dir);
    int AddDirectory(TEntryList& target, const std::wstring& dir);
    void AddFoundFile(TEntryList& target, const TFoundFile& f);
    // `wide`: the playlist file's own wide name, when there is one.
    int AddPlaylistFile(TEntryList& target, const std::string& file, const std::wstring& wide = {});
    // On a host that keeps Unicode names: every listed name as UTF-8, resolved and
    // added by its wide name (the 8-bit one cannot hold every character).
    int AddPlaylistFileWide(TEntryList& target, const std::wstring& file);
    int AddListedUtf8Name(TEntryList& target, const std::string& base, const std::string& name);
    // One name a playlist file lists, resolved from the playlist's folder base.
    int AddListedName(TEntryList& target, const std::string& base, const std::string& name);
    void PutEntries(TBackgroundAdd& add, TEntryList& entries);
    bool AddFolderFromReader(TBackgroundAdd& add, const TFoundFile& folder, HWND window);
    // Rows added by a command that then failed go again, with their records.
    void TakeBackRows(int first, int n);

    TFormPlayList& form_;
    TDirectoryScan* scan_ = nullptr;  // the open scan (owned by its TScanScope)
    bool scanningFolder_ = false;
    friend class TScanScope;
};
