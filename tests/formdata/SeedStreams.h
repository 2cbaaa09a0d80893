// Hand-built binary form streams covering every value type the reader knows,
// including those the writer never produces. Used as unit-test input and as
// the fuzzer's seed corpus.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class StreamBuilder {
public:
    std::vector<uint8_t> b;
    StreamBuilder() { Raw("TPF0"); }
    StreamBuilder& Raw(const char* s) {
        while (*s) b.push_back(uint8_t(*s++));
        return *this;
    }
    StreamBuilder& U8(uint8_t v) { return b.push_back(v), *this; }
    StreamBuilder& LE(uint64_t v, int n) {
        for (int i = 0; i < n; ++i) b.push_back(uint8_t(v >> (8 * i)));
        return *this;
    }
    StreamBuilder& Str(const std::string& s) {
        U8(uint8_t(s.size()));
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    StreamBuilder& Obj(const std::string& cls, const std::string& name) { return Str(cls).Str(name); }
    StreamBuilder& Prop(const std::string& name) { return Str(name); }
    StreamBuilder& End() { return U8(0); }
};

// name -> stream; names starting "valid-" must read without error.
inline std::vector<std::pair<std::string, std::vector<uint8_t>>> SeedStreams() {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> out;

    {  // Every value type once.
        StreamBuilder s;
        s.Obj("TForm2", "Form2");
        s.Prop("I8").U8(2).U8(0x85);
        s.Prop("I16").U8(3).LE(0x8001, 2);
        s.Prop("I32").U8(4).LE(0x80000001u, 4);
        s.Prop("I64").U8(19).LE(0x8000000000000001ull, 8);
        s.Prop("Ext").U8(5).LE(0, 7).U8(0xC0).U8(0xFF).U8(0x3F);  // 1.5
        s.Prop("Sgl").U8(15).LE(0x40200000u, 4);                   // 2.5f
        s.Prop("Cur").U8(16).LE(12345, 8);                         // 1.2345
        s.Prop("Dat").U8(17).LE(0x4000000000000000ull, 8);         // 2.0
        s.Prop("S").U8(6).Str("abc");
        s.Prop("LS").U8(12).LE(2, 4).U8('x').U8('y');
        s.Prop("WS").U8(18).LE(2, 4).LE(0x0412, 2).LE(0x20AC, 2);  // "В€"
        s.Prop("U8").U8(20).LE(2, 4).U8(0xD0).U8(0x92);            // "В"
        s.Prop("Id").U8(7).Str("clRed");
        s.Prop("F").U8(8);
        s.Prop("T").U8(9);
        s.Prop("Nil").U8(13);
        s.Prop("Bin").U8(10).LE(3, 4).U8(1).U8(2).U8(3);
        s.Prop("Set").U8(11).Str("biSystemMenu").Str("biMinimize").U8(0);
        s.Prop("List").U8(1).U8(6).Str("q").U8(2).U8(9).U8(1).U8(0).U8(0);
        // Two items, the second with an order value.
        s.Prop("Coll").U8(14).U8(1).Prop("Width").U8(2).U8(40).End().U8(2).U8(5).U8(1).Prop("Caption").U8(6).Str("k").End().End();
        s.End();
        // Children: one plain, one with the child-position flag and inherited flag.
        s.Obj("TImage", "Image1").Prop("Left").U8(2).U8(8).End().End();
        s.U8(0xF3).U8(2).U8(1).Obj("TShape", "Shape1").End().End();
        s.End();
        out.emplace_back("valid-all-types", s.b);
    }
    {  // Smallest form.
        StreamBuilder s;
        s.Obj("TForm1", "Form1").End().End();
        out.emplace_back("valid-empty-form", s.b);
    }
    {  // Nested children three deep.
        StreamBuilder s;
        s.Obj("TForm", "F").End();
        s.Obj("TPanel", "P").Prop("Caption").U8(6).Str("").End();
        s.Obj("TGroupBox", "G").End();
        s.Obj("TImage", "I").Prop("Picture.Data").U8(10).LE(0, 4).End().End();
        s.End().End().End();
        out.emplace_back("valid-nested", s.b);
    }
    {  // Unknown value type.
        StreamBuilder s;
        s.Obj("TForm", "F").Prop("Bad").U8(21).End().End();
        out.emplace_back("bad-value-type", s.b);
    }
    {  // Binary length past the end.
        StreamBuilder s;
        s.Obj("TForm", "F").Prop("Data").U8(10).LE(0xFFFFFFF0u, 4).U8(1);
        out.emplace_back("bad-binary-length", s.b);
    }
    {  // Wide string length past the end (would need 8 GB).
        StreamBuilder s;
        s.Obj("TForm", "F").Prop("W").U8(18).LE(0xFFFFFFFFu, 4).U8(1).U8(0);
        out.emplace_back("bad-wide-length", s.b);
    }
    return out;
}
