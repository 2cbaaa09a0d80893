#include "RunTime.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

char UpCaseAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
char LowCaseAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

AnsiString UpperCaseAscii(const AnsiString& s) {
    AnsiString r = s;
    for (char& c : r) c = UpCaseAscii(c);
    return r;
}

AnsiString LowerCaseAscii(const AnsiString& s) {
    AnsiString r = s;
    for (char& c : r) c = LowCaseAscii(c);
    return r;
}

bool SameTextAscii(const AnsiString& a, const AnsiString& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpCaseAscii(a[i]) != UpCaseAscii(b[i])) return false;
    return true;
}

int StrToInt(const AnsiString& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    const AnsiString t = s.substr(b, e - b);
    if (t.empty()) throw EConvertError("'" + s + "' is not a valid integer value");
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(t.c_str(), &end, 10);
    if (errno != 0 || end != t.c_str() + t.size() || v < INT_MIN || v > INT_MAX)
        throw EConvertError("'" + s + "' is not a valid integer value");
    return static_cast<int>(v);
}

AnsiString IntToStr(int64_t v) { return std::to_string(v); }
