#include "fileinfo/MpegAudio.h"

#include <string_view>

#include "fileinfo/TagText.h"

const std::array<const char*, kGenreCount> GenreNames = {
    // 0-79: the original list
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz",
    "Metal", "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno",
    "Industrial", "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno",
    "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental",
    "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise", "Alt. Rock", "Bass", "Soul", "Punk",
    "Space", "Meditative", "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic", "Darkwave",
    "Techno-Industrial", "Electronic", "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy",
    "Cult", "Gangsta Rap", "Top 40", "Christian Rap", "Pop/Funk", "Jungle", "Native American",
    "Cabaret", "New Wave", "Psychedelic", "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal",
    "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock",
    // 80-147: the extension
    "Folk", "Folk/Rock", "National Folk", "Swing", "Fast-Fusion", "Bebob", "Latin", "Revival",
    "Celtic", "Bluegrass", "Avantgarde", "Gothic Rock", "Progressive Rock", "Psychedelic Rock",
    "Symphonic Rock", "Slow Rock", "Big Band", "Chorus", "Easy Listening", "Acoustic", "Humour",
    "Speech", "Chanson", "Opera", "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus",
    "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba", "Folklore", "Ballad",
    "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock", "Drum Solo", "A Cappella",
    "Euro-House", "Dance Hall", "Goa", "Drum & Bass", "Club-House", "Hardcore", "Terror", "Indie",
    "BritPop", "Afro-Punk", "Polsk Punk", "Beat", "Christian Gangsta Rap", "Heavy Metal",
    "Black Metal", "Crossover", "Contemporary Christian", "Christian Rock", "Merengue", "Salsa",
    "Thrash Metal", "Anime", "JPop", "Synthpop",
};

bool ReadId3v1Bytes(IByteSource& source, TId3v1Bytes& tag) {
    std::uint64_t size = 0;
    if (!source.Size(size) || size < kId3v1Size) return false;
    return ReadFully(source, size - kId3v1Size, tag.data(), tag.size()) == tag.size();
}

bool ParseId3v1Tag(const TId3v1Bytes& tag, TMP3FileInfo& info, const TTagTextCodec& codec) {
    if (tag[0] != 'T' || tag[1] != 'A' || tag[2] != 'G') return false;
    struct TField {
        std::size_t offset, length;
        TInfoField target;
    };
    static constexpr TField kFields[] = {
        {3, 30, TInfoField::Title},  {33, 30, TInfoField::Artist},
        {63, 30, TInfoField::Album}, {93, 4, TInfoField::Year},
        {97, 30, TInfoField::Comment},
    };
    for (const TField& f : kFields) {
        std::string value =
            CodePageTagText(std::string_view(reinterpret_cast<const char*>(tag.data()) + f.offset, f.length), codec);
        if (!value.empty()) info.Set(f.target, value);
    }
    const unsigned genre = tag[127];
    if (genre < unsigned(kGenreCount)) info.SetGenre(GenreNames[genre]);
    return true;
}

bool ReadId3v1Tag(IByteSource& source, TMP3FileInfo& info, const TTagTextCodec& codec) {
    TId3v1Bytes tag;
    return ReadId3v1Bytes(source, tag) && ParseId3v1Tag(tag, info, codec);
}
