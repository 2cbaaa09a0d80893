// Byte streams: the abstract stream, memory streams (growable, or a read-only
// view over bytes someone else owns) and file streams. Portable: no Windows
// headers; pictures, form data and resources all read through these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "Persistent.h"
#include "RunTime.h"

class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
    const char* ClassName() const override { return "TStream"; }

    // Reads or writes up to Count bytes at the position and answers how many
    // moved; the position advances by that many.
    virtual int64_t Read(void* Buffer, int64_t Count) = 0;
    virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
    // Answers the new position; a target before 0 raises EStreamError.
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }
    virtual int64_t Size();
    // Streams that cannot change their size raise EStreamError.
    virtual void SetSize(int64_t NewSize);
    // Bytes from the position to the end (0 when past the end).
    int64_t Remaining();

    // All or nothing: a short read raises EReadError, a short write EWriteError,
    // each naming how many bytes were wanted and how many there were.
    void ReadBuffer(void* Buffer, int64_t Count);
    void WriteBuffer(const void* Buffer, int64_t Count);

    // Copies Count bytes from Source's position; Count 0 copies all of Source
    // from its beginning. Answers the bytes copied.
    int64_t CopyFrom(TStream* Source, int64_t Count);

    // Little-endian fixed-size helpers built on ReadBuffer/WriteBuffer.
    uint8_t ReadUInt8();
    uint16_t ReadUInt16();
    uint32_t ReadUInt32();
    void WriteUInt8(uint8_t v);
    void WriteUInt16(uint16_t v);
    void WriteUInt32(uint32_t v);
    // Reads exactly Count bytes (EReadError otherwise).
    std::vector<uint8_t> ReadBytes(int64_t Count);
};

// A stream over one block of memory; read, seek and save. The block is set
// by the derived class.
class TCustomMemoryStream : public TStream {
public:
    const char* ClassName() const override { return "TCustomMemoryStream"; }
    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override { return FSize; }

    const void* Memory() const { return FMemory; }
    void SaveToStream(TStream* Stream);
    void SaveToFile(const AnsiString& FileName);

protected:
    void SetPointer(const void* Ptr, int64_t Size);
    const uint8_t* FMemory = nullptr;
    int64_t FSize = 0;
    int64_t FPosition = 0;
};

// Read-only view over bytes owned by the caller (resource data, a form's
// binary property). Writing raises EWriteError; the bytes must outlive it.
class TReadOnlyMemoryStream : public TCustomMemoryStream {
public:
    TReadOnlyMemoryStream(const void* Data, size_t Size) { SetPointer(Data, static_cast<int64_t>(Size)); }
    explicit TReadOnlyMemoryStream(const std::vector<uint8_t>& Data)
        : TReadOnlyMemoryStream(Data.data(), Data.size()) {}
    const char* ClassName() const override { return "TReadOnlyMemoryStream"; }
    int64_t Write(const void* Buffer, int64_t Count) override;
};

// Growable stream in memory it owns. Writing past the end grows it; the gap
// of a seek beyond the end is filled with zero bytes on the next write.
class TMemoryStream : public TCustomMemoryStream {
public:
    TMemoryStream() = default;
    const char* ClassName() const override { return "TMemoryStream"; }
    int64_t Write(const void* Buffer, int64_t Count) override;
    void SetSize(int64_t NewSize) override;

    void* Memory() { return FData.data(); }
    const std::vector<uint8_t>& Bytes() const { return FData; }
    void Clear();
    // Replaces the contents with all of Stream from its beginning; position 0.
    void LoadFromStream(TStream* Stream);
    void LoadFromFile(const AnsiString& FileName);

private:
    void Sync();
    std::vector<uint8_t> FData;
};

// File open modes: one access mode, or fmCreate (create or truncate, read/write).
enum : uint16_t {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmCreate = 0xFF00,
};

// File stream. File names are Windows-1251 text; on Windows they are opened
// through their UTF-16 form, so Russian names work on every system.
class TFileStream : public TStream {
public:
    // Raises EFOpenError / EFCreateError "Cannot open file \"name\"".
    TFileStream(const AnsiString& FileName, uint16_t Mode);
    ~TFileStream() override;
    const char* ClassName() const override { return "TFileStream"; }
    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    const AnsiString& FileName() const { return FFileName; }

private:
    AnsiString FFileName;
    std::FILE* FFile = nullptr;
    bool FLastWrite = false;
};
