#include "fileinfo/EntryNames.h"

#include "base/CommonLib.h"

std::string FileNamePart(std::string_view path, TLeadByteTest isLeadByte) {
    return ExtractPathName(path, TPathText{isLeadByte, nullptr});
}

std::string FileExtension(std::string_view path, TLeadByteTest isLeadByte) {
    return ExtractPathExt(path, TPathText{isLeadByte, nullptr});
}

std::string FileNameWithoutExtension(std::string_view path, TLeadByteTest isLeadByte) {
    std::string name = FileNamePart(path, isLeadByte);
    // "." is never the second byte of a double-byte character.
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
    return name;
}

TTagReader ChooseTagReader(std::string_view path, TLeadByteTest isLeadByte) {
    const TTagReaderEntry* reader = FindTagReader(FileExtension(path, isLeadByte));
    return reader ? reader->Kind : TTagReader::None;
}

void FillEntryFileNameFields(TMP3FileInfo& rec, const std::string& path, TLeadByteTest isLeadByte) {
    // One block for both: a rebuild makes this record for every entry.
    rec.Set({{TInfoField::FileName, path}, {TInfoField::Title, FileNameWithoutExtension(path, isLeadByte)}});
}

bool IsStreamName(std::string_view name) { return name.find("://") != std::string_view::npos; }

void FillKeptEntryFields(TMP3FileInfo& rec, const std::string& name, TLeadByteTest isLeadByte) {
    const std::string title = IsStreamName(name) ? name : FileNameWithoutExtension(name, isLeadByte);
    rec.Set({{TInfoField::FileName, name}, {TInfoField::Title, title}});
    rec.Kept = true;
}
