#pragma once
#include <memory>

#include "textio/FileEncoding.h"
#include "textio/TReader.h"

// The reader that serves a file of this encoding: TReaderAnsi, TReaderUtf16,
// TReaderUtf16be, or TReader for UTF-8 and any unknown value. Buffers are
// not sized yet.
std::unique_ptr<TReader> MakeReader(FileEncoding encoding);
