#pragma once
// The per-entry record: what the playlist knows about one file.
//
// A playlist may hold 100,000 of these, so the record is small: the two numbers
// and one heap block holding only the text fields that are not empty (most tags
// fill four or five of the twelve). A field is read as a view into that block,
// valid until the next Set on the same record, and written through its setter;
// setting a field rebuilds the block, which is cheap because fields are written
// only while an entry is being read or when its length becomes known.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include "base/TestSeam.h"
#include <string_view>

// The text fields, in the record's order.
enum class TInfoField : std::uint8_t {
    FileName,        // path exactly as added
    SongLengthText,  // as shown in the length column; empty until known
    Title,
    Artist,
    Album,
    Comment,
    Genre,
    Year,
    Copyright,
    Engineer,
    Source,
    Software,
    WideFileName,  // the host's Unicode name (UTF-16, little-endian bytes); hosts that keep one
};
constexpr int kInfoFieldCount = 13;

// Which file an entry names, for telling entries apart: the host's wide name
// when there is one, else the 8-bit name. Two wide names may share one 8-bit
// form ("?" for what the code page lacks), so the 8-bit name alone would take
// two files for one. Text is a view: valid as long as what it was made from.
struct TEntryName {
    std::string_view Text;  // the wide name's UTF-16 bytes (little-endian) when Wide, else the 8-bit name
    bool Wide = false;
    friend bool operator==(const TEntryName&, const TEntryName&) = default;
    std::size_t Hash() const noexcept { return std::hash<std::string_view>{}(Text) ^ static_cast<std::size_t>(Wide); }
};
// name: the 8-bit name; wideBytes: the wide name as the record keeps it (WideNameBytes), or empty.
inline TEntryName EntryNameOf(std::string_view name, std::string_view wideBytes) {
    return wideBytes.empty() ? TEntryName{name, false} : TEntryName{wideBytes, true};
}
// A wide name as the record keeps it: UTF-16 little-endian bytes.
void WideNameBytes(std::u16string_view wide, std::string& out);

class TMP3FileInfo {
public:
    int SongLength = -1;    // whole seconds; -1 until the host reports it or the file is read
    // SongLength came from the file and the host has not been asked yet: it is asked once.
    bool LengthFromFile = false;
    bool Selected = false;  // scratch copy of the row's selection while re-ordering
    // A host entry the plug-in does not read (a stream, a missing file, another
    // type): no file was opened for it, and its name goes back to the host as is.
    bool Kept = false;
    // Its tags are still to be read (by the reader thread): until then its
    // fields are the file name's, or what an earlier record of the name held.
    bool ToRead = false;
    // The reading's ticket while the record is out for reading (TRecordsOut), else 0.
    std::uint32_t ReadTicket = 0;

    TMP3FileInfo() = default;
    TMP3FileInfo(const TMP3FileInfo& other);
    TMP3FileInfo& operator=(const TMP3FileInfo& other);
    TMP3FileInfo(TMP3FileInfo&&) noexcept = default;
    TMP3FileInfo& operator=(TMP3FileInfo&&) noexcept = default;

    std::string_view Get(TInfoField field) const;
    // An empty value clears the field.
    void Set(TInfoField field, std::string_view value);
    // Several fields at once, into one new block.
    void Set(std::initializer_list<std::pair<TInfoField, std::string_view>> fields);

    std::string_view FileName() const { return Get(TInfoField::FileName); }
    std::string_view SongLengthText() const { return Get(TInfoField::SongLengthText); }
    std::string_view Title() const { return Get(TInfoField::Title); }
    std::string_view Artist() const { return Get(TInfoField::Artist); }
    std::string_view Album() const { return Get(TInfoField::Album); }
    std::string_view Comment() const { return Get(TInfoField::Comment); }
    std::string_view Genre() const { return Get(TInfoField::Genre); }
    std::string_view Year() const { return Get(TInfoField::Year); }
    std::string_view Copyright() const { return Get(TInfoField::Copyright); }
    std::string_view Engineer() const { return Get(TInfoField::Engineer); }
    std::string_view Source() const { return Get(TInfoField::Source); }
    std::string_view Software() const { return Get(TInfoField::Software); }

    void SetFileName(std::string_view v) { Set(TInfoField::FileName, v); }
    void SetSongLengthText(std::string_view v) { Set(TInfoField::SongLengthText, v); }
    void SetTitle(std::string_view v) { Set(TInfoField::Title, v); }
    void SetArtist(std::string_view v) { Set(TInfoField::Artist, v); }
    void SetAlbum(std::string_view v) { Set(TInfoField::Album, v); }
    void SetComment(std::string_view v) { Set(TInfoField::Comment, v); }
    void SetGenre(std::string_view v) { Set(TInfoField::Genre, v); }
    void SetYear(std::string_view v) { Set(TInfoField::Year, v); }
    void SetCopyright(std::string_view v) { Set(TInfoField::Copyright, v); }
    void SetEngineer(std::string_view v) { Set(TInfoField::Engineer, v); }
    void SetSource(std::string_view v) { Set(TInfoField::Source, v); }
    void SetSoftware(std::string_view v) { Set(TInfoField::Software, v); }

    // The host's Unicode name beside the 8-bit FileName, empty where the host
    // keeps none. Files are opened and pushes are made by it when present.
    std::u16string WideFileName() const;
    void SetWideFileName(std::u16string_view v);
    // The name that tells this entry from others; a view into the record, valid until its next Set.
    TEntryName EntryName() const { return EntryNameOf(FileName(), Get(TInfoField::WideFileName)); }

    // Bytes this record holds on the heap besides itself (for memory figures).
    std::size_t TextBytes() const;

private:
    // Shared through TRecordRef (fileinfo/RecordRef.h): the list's row, the undo
    // history's states, the reading and a rebuild each hold one reference, and
    // the last to let go destroys the record. A new record has one reference.
    friend class TRecordRef;
    void AddReference() { ++references_.Count; }
    static void ReleaseReference(TMP3FileInfo* record) {
        if (record && --record->references_.Count == 0) delete record;
    }
    // Copying or moving a record's fields leaves each record its own count.
    struct TReferenceCount {
        std::uint32_t Count = 1;
        TReferenceCount() = default;
        TReferenceCount(const TReferenceCount&) {}
        TReferenceCount& operator=(const TReferenceCount&) { return *this; }
    };
    TReferenceCount references_;
    // The block: for each field whose bit is set in present_, in field order, its
    // length (one byte below 255, else 255 and four little-endian bytes) and then
    // its bytes. No block at all while every field is empty.
    std::unique_ptr<char[]> text_;
    std::uint16_t present_ = 0;
    TLiveCount<&TTestSeam::LiveRecords> live_;  // tests check that no record outlives its row
};
