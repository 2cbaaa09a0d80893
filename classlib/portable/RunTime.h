// Run-time basics shared by every unit: 8-bit strings, the exception base and
// number conversions. Portable: no Windows headers, so the file-format and
// pixel code that uses it also builds and is tested natively.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

// Texts are 8-bit Windows-1251 strings throughout; they are converted to UTF-16
// only at the Win32 boundary.
using AnsiString = std::string;

// Base of every failure the system raises; carries a formatted message.
class Exception : public std::exception {
public:
    explicit Exception(AnsiString msg) : Message(std::move(msg)) {}
    ~Exception() override = default;
    const char* what() const noexcept override { return Message.c_str(); }
    AnsiString Message;
};

class EConvertError : public Exception {
public:
    using Exception::Exception;
};

class EOutOfMemory : public Exception {
public:
    using Exception::Exception;
};

// Streams and the readers built on them (form data, pictures) share these.
class EStreamError : public Exception {
public:
    using Exception::Exception;
};
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// Bad picture data (unknown format, truncated or inconsistent file): raised
// by the class library's pictures and by the portable picture readers.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// Letter case of identifiers (class, component and property names, form
// words, INI sections and keys): ASCII letters only, whatever the machine's
// locale, so that a name means the same everywhere. Text shown to the user
// folds Cyrillic too: Text1251.h.
char UpCaseAscii(char c);
char LowCaseAscii(char c);
AnsiString UpperCaseAscii(const AnsiString& s);
AnsiString LowerCaseAscii(const AnsiString& s);
bool SameTextAscii(const AnsiString& a, const AnsiString& b);

// Decimal conversions as the forms use them for the completed-game counter.
// StrToInt accepts optional surrounding blanks and a sign, raises EConvertError
// otherwise.
int StrToInt(const AnsiString& s);
AnsiString IntToStr(int64_t v);
