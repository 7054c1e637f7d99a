#pragma once
#include "pipeline/FileConvert.h"

class TReader;

// Converts what `reader` hands out, line by line with `engine`, handing the
// result to `into` in large chunks gathered in `output` (flushed at the
// end). Stops after the line (or piece of a long line) in hand when `into`
// asks; the reader's failure, if any, is the outcome.
FileOutcome ConvertLines(ConvEngine& engine, TReader& reader, OutputBuffer& output,
                         FileConversion& into);

// Sizes `reader`'s line buffers (and the ANSI reader's UTF-8 buffer) for
// lines of `lineRoom` bytes; false when they cannot be had.
bool GetLineBuffers(TReader& reader, std::int32_t lineRoom);
