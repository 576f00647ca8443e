#include "fileinfo/EntryNames.h"

#include "base/CommonLib.h"
#include "base/Utf.h"

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

namespace {
// The file-name part of a wide name, split at its last "." (npos: none).
std::u16string_view WideNamePart(std::u16string_view wide, std::size_t& dot) {
    const std::size_t cut = wide.find_last_of(u"\\:");
    const std::u16string_view name = cut == std::u16string_view::npos ? wide : wide.substr(cut + 1);
    dot = name.rfind(u'.');
    return name;
}

std::string WideTitleText(std::u16string_view wide) {
    std::size_t dot;
    const std::u16string_view name = WideNamePart(wide, dot);
    return Utf16ToUtf8(name.substr(0, dot));
}
}  // namespace

std::string NameTitleText(const TMP3FileInfo& rec, const TNameText& names) {
    if (rec.Get(TInfoField::WideFileName).empty())
        return names.Text(FileNameWithoutExtension(rec.FileName(), names.IsLeadByte));
    return WideTitleText(rec.WideFileName());
}

std::string NameExtensionText(const TMP3FileInfo& rec, const TNameText& names) {
    if (rec.Get(TInfoField::WideFileName).empty()) return names.Text(FileExtension(rec.FileName(), names.IsLeadByte));
    const std::u16string wide = rec.WideFileName();
    std::size_t dot;
    const std::u16string_view name = WideNamePart(wide, dot);
    return dot == std::u16string_view::npos ? std::string() : Utf16ToUtf8(name.substr(dot));
}

std::string NameFileText(const TMP3FileInfo& rec, const TNameText& names) {
    if (rec.Get(TInfoField::WideFileName).empty()) return names.Text(FileNamePart(rec.FileName(), names.IsLeadByte));
    const std::u16string wide = rec.WideFileName();
    std::size_t dot;
    return Utf16ToUtf8(WideNamePart(wide, dot));
}

std::string NamePathText(const TMP3FileInfo& rec, const TNameText& names) {
    if (rec.Get(TInfoField::WideFileName).empty()) return names.Text(rec.FileName());
    return Utf16ToUtf8(rec.WideFileName());
}

void FillEntryFileNameFields(TMP3FileInfo& rec, const std::string& path, const TNameText& names,
                             std::u16string_view wide) {
    const std::string title =
        wide.empty() ? names.Text(FileNameWithoutExtension(path, names.IsLeadByte)) : WideTitleText(wide);
    // One block for all: a rebuild makes this record for every entry.
    if (wide.empty()) {
        rec.Set({{TInfoField::FileName, path}, {TInfoField::Title, title}});
        return;
    }
    std::string wideBytes;
    WideNameBytes(wide, wideBytes);
    rec.Set({{TInfoField::FileName, path}, {TInfoField::WideFileName, wideBytes}, {TInfoField::Title, title}});
}

bool IsStreamName(std::string_view name) { return name.find("://") != std::string_view::npos; }

void FillKeptEntryFields(TMP3FileInfo& rec, const std::string& name, const TNameText& names,
                         std::u16string_view wide) {
    FillEntryFileNameFields(rec, name, names, wide);
    // A stream is titled by its whole address.
    if (IsStreamName(name)) rec.SetTitle(wide.empty() ? names.Text(name) : Utf16ToUtf8(wide));
    rec.Kept = true;
}
