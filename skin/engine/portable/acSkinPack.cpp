#include "acSkinPack.h"

#include <zlib.h>

#include <cstring>

#include "LZ77Decoder.h"

const char* const SNotPackedSkin = "Loaded data is not a packed skin file";

namespace {

constexpr int kInputBlock = 65536;
constexpr int kOutputStep = 65536;

int32_t ReadInt32(TStream& S, const char* What) {
    if (S.Remaining() < 4) throw EReadError(AnsiString("Packed skin: ") + What + " past the end of the data");
    return int32_t(S.ReadUInt32());
}

// A count or size that cannot be negative.
int64_t ReadCount(TStream& S, const char* What) {
    const int32_t v = ReadInt32(S, What);
    if (v < 0) throw EReadError(AnsiString("Packed skin: negative ") + What + " " + IntToStr(v));
    return v;
}

}  // namespace

void InflateEntry(TCustomMemoryStream& Source, int64_t Size, TMemoryStream& Dest) {
    const auto* base = static_cast<const uint8_t*>(Source.Memory());
    const int64_t start = Source.Position(), end = Source.Size();
    int64_t used = 0;  // input consumed by the inflater
    Dest.Clear();
    std::vector<uint8_t> out;
    TLZ77Decoder z(Z_NO_FLUSH, false);
    z.Start();
    for (;;) {
        const int64_t left = end - start - used;
        const int inSize = int(left < kInputBlock ? left : kInputBlock);
        const uint8_t* in = base + start + used;
        const uint8_t* before = in;
        // Room for at most what the entry still lacks, plus one byte that
        // tells a stream holding more than its stated size.
        const int64_t want = Size - int64_t(out.size()) + 1;
        const int step = int(want < kOutputStep ? want : kOutputStep);
        const size_t had = out.size();
        out.resize(had + size_t(step));
        uint8_t* o = out.data() + had;
        z.InflateBlock(in, o, inSize, step);
        out.resize(size_t(o - out.data()));
        used += in - before;
        const int r = z.ZLibResult();
        if (int64_t(out.size()) > Size)
            throw EDecompressionError("Packed skin: an entry holds more than its stated " + IntToStr(Size) + " bytes");
        if (r == Z_STREAM_END) break;
        // The inflater answers a buffer error only when it could not move at all.
        if (r == Z_BUF_ERROR && inSize == 0)
            throw EDecompressionError("Packed skin: compressed data ends inside an entry");
        if (r != Z_OK) throw EDecompressionError("Packed skin: damaged compressed data");
    }
    z.Finish();
    if (int64_t(out.size()) < Size)
        throw EReadError("Packed skin: an entry gives " + IntToStr(int64_t(out.size())) + " of its " +
                         IntToStr(Size) + " bytes");
    // Whatever the last block held beyond the stream's end goes back to the source.
    Source.SetPosition(start + used);
    if (!out.empty()) Dest.WriteBuffer(out.data(), int64_t(out.size()));
    Dest.SetPosition(0);
}

bool TacSkinConvertor::Parse() {
    TMemoryStream& src = *SourceStream;
    src.SetPosition(0);
    char magic[4] = {};
    if (src.Read(magic, 4) != 4 || std::memcmp(magic, "ASzf", 4) != 0) {
        Clear();
        return false;
    }
    const int64_t n = ReadCount(src, "entry count");
    ImageCount = int(n - 1);
    for (int64_t i = 0; i < n; ++i) {
        const int64_t l = ReadCount(src, "name length");
        if (l > src.Remaining()) throw EReadError("Packed skin: a name runs past the end of the data");
        AnsiString name(size_t(l), '\0');
        src.ReadBuffer(name.data(), l);
        const int64_t s = ReadCount(src, "entry size");
        auto data = std::make_unique<TMemoryStream>();
        InflateEntry(src, s, *data);
        if (UpperCaseAscii(name) == "OPTIONS.DAT") {
            OptionsStream = std::move(data);
        } else {
            const size_t dot = name.rfind('.');
            TacImageItem item;
            item.IsBitmap = dot != AnsiString::npos && UpperCaseAscii(name.substr(dot)) == ".BMP";
            item.Name = std::move(name);
            item.Data = std::move(data);
            ImageItems.push_back(std::move(item));
        }
    }
    if (!OptionsStream) {
        Clear();
        return false;
    }
    return true;
}

void TacSkinConvertor::Clear() {
    while (!ImageItems.empty()) ImageItems.pop_back();
    OptionsStream.reset();
    SourceStream.reset();
    ImageCount = 0;
}

const TacImageItem* TacSkinConvertor::Find(const AnsiString& Name) const {
    for (const TacImageItem& i : ImageItems)
        if (UpperCaseAscii(i.Name) == Name) return &i;
    return nullptr;
}

bool LoadSkinPackage(const AnsiString& FileName, std::unique_ptr<TacSkinConvertor>& Convertor, bool FreeSource) {
    std::unique_ptr<TMemoryStream> source;
    try {
        source = std::make_unique<TMemoryStream>();
        source->LoadFromFile(FileName);
    } catch (const EFOpenError&) {
        return false;  // a missing file changes nothing
    }
    if (Convertor)
        Convertor->Clear();
    else
        Convertor = std::make_unique<TacSkinConvertor>();
    Convertor->SourceStream = std::move(source);
    bool ok = false;
    try {
        ok = Convertor->Parse();
    } catch (...) {
        Convertor.reset();
        throw;
    }
    if (!ok) {
        Convertor.reset();
        return false;
    }
    if (FreeSource) Convertor->SourceStream.reset();
    return true;
}
