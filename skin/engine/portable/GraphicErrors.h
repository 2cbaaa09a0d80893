// Failures of the picture readers. Each carries a fixed English message.
#pragma once

#include "RunTime.h"

// Bad picture data (signature, header, chunk lengths, checksums, image data)
// raises EInvalidGraphic, shared with the class library (RunTime.h).

// The inflate stream could not be started or ended.
class EGraphicCompression : public Exception {
public:
    using Exception::Exception;
};

// Colour manager set-up errors.
class EColorConversionError : public Exception {
public:
    using Exception::Exception;
};
