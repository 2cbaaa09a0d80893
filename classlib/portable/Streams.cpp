#include "Streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "Text1251.h"

namespace {

AnsiString Num(int64_t v) { return IntToStr(v); }

}  // namespace

// ---------------------------------------------------------------- TStream

int64_t TStream::Size() {
    const int64_t pos = Seek(0, soCurrent);
    const int64_t end = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return end;
}

void TStream::SetSize(int64_t) { throw EStreamError(AnsiString(ClassName()) + " cannot change its size"); }

int64_t TStream::Remaining() {
    const int64_t r = Size() - Position();
    return r > 0 ? r : 0;
}

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
    if (Count < 0) throw EReadError("Stream read error: negative byte count");
    if (Count == 0) return;
    const int64_t pos = Position();
    const int64_t got = Read(Buffer, Count);
    if (got != Count)
        throw EReadError("Stream read error: " + Num(Count) + " bytes wanted at position " + Num(pos) +
                         ", only " + Num(got < 0 ? 0 : got) + " there");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
    if (Count < 0) throw EWriteError("Stream write error: negative byte count");
    if (Count == 0) return;
    const int64_t pos = Position();
    const int64_t put = Write(Buffer, Count);
    if (put != Count)
        throw EWriteError("Stream write error: " + Num(Count) + " bytes to write at position " + Num(pos) +
                          ", only " + Num(put < 0 ? 0 : put) + " written");
}

int64_t TStream::CopyFrom(TStream* Source, int64_t Count) {
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->Size();
    }
    if (Count < 0) throw EReadError("Stream read error: negative byte count");
    const int64_t total = Count;
    std::vector<uint8_t> buf(static_cast<size_t>(std::min<int64_t>(Count, 0xF000)));
    while (Count > 0) {
        const int64_t n = std::min<int64_t>(Count, static_cast<int64_t>(buf.size()));
        Source->ReadBuffer(buf.data(), n);
        WriteBuffer(buf.data(), n);
        Count -= n;
    }
    return total;
}

uint8_t TStream::ReadUInt8() {
    uint8_t b;
    ReadBuffer(&b, 1);
    return b;
}

uint16_t TStream::ReadUInt16() {
    uint8_t b[2];
    ReadBuffer(b, 2);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t TStream::ReadUInt32() {
    uint8_t b[4];
    ReadBuffer(b, 4);
    return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
}

void TStream::WriteUInt8(uint8_t v) { WriteBuffer(&v, 1); }

void TStream::WriteUInt16(uint16_t v) {
    const uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
    WriteBuffer(b, 2);
}

void TStream::WriteUInt32(uint32_t v) {
    const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    WriteBuffer(b, 4);
}

std::vector<uint8_t> TStream::ReadBytes(int64_t Count) {
    if (Count < 0) throw EReadError("Stream read error: negative byte count");
    // Check against what is there before allocating, so a corrupt length
    // cannot ask for gigabytes.
    const int64_t left = Remaining();
    if (Count > left)
        throw EReadError("Stream read error: " + Num(Count) + " bytes wanted at position " + Num(Position()) +
                         ", only " + Num(left) + " there");
    std::vector<uint8_t> v(static_cast<size_t>(Count));
    ReadBuffer(v.data(), Count);
    return v;
}

// ---------------------------------------------------------------- memory streams

int64_t TCustomMemoryStream::Read(void* Buffer, int64_t Count) {
    if (Count <= 0 || FPosition >= FSize) return 0;
    const int64_t n = std::min(Count, FSize - FPosition);
    std::memcpy(Buffer, FMemory + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int64_t TCustomMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : FSize;
    const int64_t target = base + Offset;
    if (target < 0) throw EStreamError("Stream seek error: position " + Num(target) + " is before the start");
    FPosition = target;
    return FPosition;
}

void TCustomMemoryStream::SetPointer(const void* Ptr, int64_t Size) {
    FMemory = static_cast<const uint8_t*>(Ptr);
    FSize = Size;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) {
    if (FSize > 0) Stream->WriteBuffer(FMemory, FSize);
}

void TCustomMemoryStream::SaveToFile(const AnsiString& FileName) {
    TFileStream f(FileName, fmCreate);
    SaveToStream(&f);
}

int64_t TReadOnlyMemoryStream::Write(const void*, int64_t) {
    throw EWriteError("Stream write error: the stream is read-only");
}

void TMemoryStream::Sync() {
    FMemory = FData.data();
    FSize = static_cast<int64_t>(FData.size());
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    const int64_t end = FPosition + Count;
    if (end > static_cast<int64_t>(FData.size())) FData.resize(static_cast<size_t>(end));
    std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
    FPosition = end;
    Sync();
    return Count;
}

void TMemoryStream::SetSize(int64_t NewSize) {
    if (NewSize < 0) throw EStreamError("Stream size error: negative size");
    FData.resize(static_cast<size_t>(NewSize));
    Sync();
    if (FPosition > NewSize) FPosition = NewSize;
}

void TMemoryStream::Clear() {
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
    Sync();
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
    Stream->SetPosition(0);
    const int64_t n = Stream->Size();
    std::vector<uint8_t> data(static_cast<size_t>(n));
    if (n > 0) Stream->ReadBuffer(data.data(), n);
    FData = std::move(data);
    FPosition = 0;
    Sync();
}

void TMemoryStream::LoadFromFile(const AnsiString& FileName) {
    TFileStream f(FileName, fmOpenRead);
    LoadFromStream(&f);
}

// ---------------------------------------------------------------- file stream

namespace {

std::FILE* OpenFile(const AnsiString& name, const char* mode) {
#ifdef _WIN32
    std::u16string wname = Cp1251ToUtf16(name);
    std::u16string wmode(mode, mode + std::strlen(mode));
    return _wfopen(reinterpret_cast<const wchar_t*>(wname.c_str()), reinterpret_cast<const wchar_t*>(wmode.c_str()));
#else
    return std::fopen(name.c_str(), mode);
#endif
}

}  // namespace

TFileStream::TFileStream(const AnsiString& FileName, uint16_t Mode) : FFileName(FileName) {
    if (Mode == fmCreate) {
        FFile = OpenFile(FileName, "w+b");
        if (!FFile)
            throw EFCreateError("Cannot create file \"" + FileName + "\". " + std::strerror(errno));
        return;
    }
    const char* m = (Mode & 3) == fmOpenWrite || (Mode & 3) == fmOpenReadWrite ? "r+b" : "rb";
    FFile = OpenFile(FileName, m);
    if (!FFile) throw EFOpenError("Cannot open file \"" + FileName + "\". " + std::strerror(errno));
}

TFileStream::~TFileStream() {
    if (FFile) std::fclose(FFile);
}

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    // A read after a write needs a positioning call in between.
    if (FLastWrite) std::fseek(FFile, 0, SEEK_CUR), FLastWrite = false;
    return static_cast<int64_t>(std::fread(Buffer, 1, static_cast<size_t>(Count), FFile));
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    if (!FLastWrite) std::fseek(FFile, 0, SEEK_CUR), FLastWrite = true;
    return static_cast<int64_t>(std::fwrite(Buffer, 1, static_cast<size_t>(Count), FFile));
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    const int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
#ifdef _WIN32
    if (_fseeki64(FFile, Offset, whence) != 0)
        throw EStreamError("Stream seek error in \"" + FFileName + "\"");
    return _ftelli64(FFile);
#else
    if (fseeko(FFile, Offset, whence) != 0) throw EStreamError("Stream seek error in \"" + FFileName + "\"");
    return ftello(FFile);
#endif
}
