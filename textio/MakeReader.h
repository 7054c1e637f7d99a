#pragma once
#include <memory>

#include "textio/Charsets.h"
#include "textio/FileEncoding.h"
#include "textio/TReader.h"

// The reader that serves a file of this encoding: TReaderAnsi, TReaderUtf16,
// TReaderUtf16be, or TReader for UTF-8 and any unknown value. For EncAnsi,
// `codePage` is the detected code page (Charsets.h): the ANSI reader
// decodes in it, and the two UTF-32 values pick the UTF-32 readers; 0 keeps
// the system's ANSI code page. Buffers are not sized yet.
std::unique_ptr<TReader> MakeReader(FileEncoding encoding, UINT codePage = kSystemCodePage);
