// Packed skin container (".asz" files and the "Data" of stored skins): the
// magic "ASzf", a 32-bit little-endian entry count N, then N entries of name
// length L, L name bytes, decompressed size S and one zlib stream each, with
// nothing between the streams. Only reading exists. Portable: the warning
// for data that is no container is shown by the caller (the skin manager).
//
// Every count and size is checked against the data: a negative or oversized
// N, L or S, a name past the end, a truncated or damaged zlib stream raise
// EReadError or EDecompressionError; output grows only as the inflater
// produces it, so no allocation outruns what the input can expand to.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "Persistent.h"
#include "RunTime.h"
#include "Streams.h"

// A zlib stream that cannot be inflated (bad header, data or checksum, or
// input that ends inside it).
class EDecompressionError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// The message of the warning shown for data that is no packed skin.
extern const char* const SNotPackedSkin;

struct TacImageItem {
    AnsiString Name;  // as stored
    bool IsBitmap = false;  // upper-cased extension ".BMP"
    std::unique_ptr<TMemoryStream> Data;
};
using TacImageItems = std::vector<TacImageItem>;

class TacSkinConvertor : public TPersistent {
public:
    TacSkinConvertor() = default;
    ~TacSkinConvertor() override { Clear(); }
    const char* ClassName() const override { return "TacSkinConvertor"; }

    // Reads SourceStream from its start. False when it is no container: the
    // magic is not "ASzf" (exact) or no entry is named "Options.dat" (any
    // case); the convertor is then cleared. Raises on damaged data.
    bool Parse();
    // Frees the entries (last first), OptionsStream and SourceStream.
    void Clear();
    // The entry whose upper-cased name equals Name; nullptr when none.
    const TacImageItem* Find(const AnsiString& Name) const;

    int ImageCount = 0;  // N - 1
    TacImageItems ImageItems;
    std::unique_ptr<TMemoryStream> OptionsStream;
    std::unique_ptr<TMemoryStream> SourceStream;
};

// When FileName exists: clears Convertor (or makes one), loads the file into
// its SourceStream and parses it; on success frees the source when
// FreeSource is set, on failure (false or an exception) resets Convertor.
// Answers whether a container was read; a missing file changes nothing.
bool LoadSkinPackage(const AnsiString& FileName, std::unique_ptr<TacSkinConvertor>& Convertor, bool FreeSource);

// Inflates one zlib stream of exactly Size bytes starting at Source's
// position into Dest, and leaves Source at the first byte after the stream:
// input read ahead in 64 KiB blocks but not used is given back.
void InflateEntry(TCustomMemoryStream& Source, int64_t Size, TMemoryStream& Dest);
