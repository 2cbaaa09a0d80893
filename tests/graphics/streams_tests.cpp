#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "Streams.h"

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> v) {
    std::vector<uint8_t> r;
    for (int x : v) r.push_back(static_cast<uint8_t>(x));
    return r;
}

}  // namespace

TEST(MemoryStream, GrowsSeeksAndFillsGapsWithZeros) {
    TMemoryStream m;
    m.WriteUInt32(0x04030201);
    EXPECT_EQ(m.Position(), 4);
    EXPECT_EQ(m.Size(), 4);
    m.Seek(2, soEnd);  // two bytes past the end
    m.WriteUInt8(0xAA);
    EXPECT_EQ(m.Bytes(), Bytes({1, 2, 3, 4, 0, 0, 0xAA}));
    m.Seek(-3, soCurrent);
    EXPECT_EQ(m.ReadUInt16(), 0);
    EXPECT_EQ(m.ReadUInt8(), 0xAA);
    m.SetPosition(1);
    m.WriteUInt16(0xBBCC);  // overwrite in the middle, size stays
    EXPECT_EQ(m.Bytes(), Bytes({1, 0xCC, 0xBB, 4, 0, 0, 0xAA}));
    m.SetSize(2);
    EXPECT_EQ(m.Position(), 2);
    EXPECT_EQ(m.Size(), 2);
    EXPECT_THROW(m.Seek(-3, soCurrent), EStreamError);
    m.Clear();
    EXPECT_EQ(m.Size(), 0);
    EXPECT_EQ(m.Position(), 0);
}

TEST(MemoryStream, ShortReadsAndWritesRaiseWithCounts) {
    const auto data = Bytes({1, 2, 3});
    TReadOnlyMemoryStream s(data);
    uint8_t buf[8];
    EXPECT_EQ(s.Read(buf, 8), 3);  // plain Read answers what it got
    EXPECT_EQ(s.Read(buf, 8), 0);
    s.SetPosition(1);
    try {
        s.ReadBuffer(buf, 5);
        FAIL() << "no exception";
    } catch (const EReadError& e) {
        const std::string m = e.Message;
        EXPECT_NE(m.find("5 bytes"), std::string::npos) << m;
        EXPECT_NE(m.find("position 1"), std::string::npos) << m;
        EXPECT_NE(m.find("only 2"), std::string::npos) << m;
    }
    s.SetPosition(0);
    EXPECT_THROW(s.ReadUInt32(), EReadError);
    EXPECT_THROW(s.WriteUInt8(1), EWriteError);
    EXPECT_EQ(s.Memory(), data.data());  // a view, not a copy
    // A corrupt length must not allocate before it is checked.
    s.SetPosition(0);
    EXPECT_THROW(s.ReadBytes(int64_t(1) << 40), EReadError);
    EXPECT_THROW(s.ReadBytes(-1), EReadError);
    EXPECT_EQ(s.ReadBytes(3), data);
    // Past the end: nothing remains, reads give nothing.
    s.SetPosition(10);
    EXPECT_EQ(s.Remaining(), 0);
    EXPECT_EQ(s.Read(buf, 1), 0);
}

TEST(MemoryStream, CopyFromWholeOrPart) {
    TMemoryStream src;
    for (int i = 0; i < 100000; ++i) src.WriteUInt8(static_cast<uint8_t>(i * 7));
    src.SetPosition(50);
    TMemoryStream all;
    EXPECT_EQ(all.CopyFrom(&src, 0), 100000);  // 0: all of it, from the start
    EXPECT_EQ(all.Bytes(), src.Bytes());
    src.SetPosition(99990);
    TMemoryStream part;
    EXPECT_EQ(part.CopyFrom(&src, 10), 10);
    EXPECT_EQ(part.Bytes()[0], static_cast<uint8_t>(99990 * 7));
    src.SetPosition(99995);
    EXPECT_THROW(part.CopyFrom(&src, 10), EReadError);
}

TEST(FileStream, RoundTripAndOpenErrors) {
    const std::string name = ::testing::TempDir() + "tuvreli_stream_test.bin";
    {
        TFileStream f(name, fmCreate);
        f.WriteUInt32(0xDEADBEEF);
        f.WriteUInt8(7);
        EXPECT_EQ(f.Size(), 5);
        f.SetPosition(0);
        EXPECT_EQ(f.ReadUInt32(), 0xDEADBEEFu);  // read right after a write
    }
    {
        TFileStream f(name, fmOpenReadWrite);
        f.Seek(0, soEnd);
        f.WriteUInt8(9);
    }
    TMemoryStream m;
    m.LoadFromFile(name);
    EXPECT_EQ(m.Bytes(), Bytes({0xEF, 0xBE, 0xAD, 0xDE, 7, 9}));
    std::remove(name.c_str());
    try {
        TFileStream f(name, fmOpenRead);
        FAIL() << "opened a missing file";
    } catch (const EFOpenError& e) {
        EXPECT_NE(e.Message.find(name), std::string::npos);
    }
}
