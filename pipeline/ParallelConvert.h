#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "pipeline/FileConvert.h"

class TReader;

// How the readers of a source's parts are made: the whole's kind of reader
// over a part of its data, with line buffers of `lineRoom` bytes.
struct PartReaders {
  FileEncoding encoding = EncUtf8;
  UINT codePage = 0;
  std::int32_t lineRoom = 0;
  std::uint64_t longestLine = 0;
};

// Where the loaded `whole` is cut into parts of about `partBytes` bytes,
// each cut just past a line end: the starts of the parts after the first.
// Empty when the source is not worth cutting (under two parts) or a part
// would grow too long to keep in memory (a line of tens of megabytes).
std::vector<std::uint64_t> PartCuts(TReader& whole, std::uint64_t partBytes);

// Converts the loaded `whole`, cut at `cuts`, on this thread and one more:
// the same bytes, in the same order, handed to `into` as a conversion line
// by line on this thread would hand on (ConvertLines), with the same
// outcome. A part converted ahead of its turn waits in memory (a few parts
// at most); its source bytes are told to `into` as one piece (PieceRead)
// when it is handed on.
// `into` is only ever called on this thread; a stop ends the output after
// the line in hand of the part being handed on. Sets into.replaced.
FileOutcome ConvertInParts(ConvEngine& engine, std::shared_ptr<TReader> whole,
                           const std::vector<std::uint64_t>& cuts, const PartReaders& readers,
                           OutputBuffer& output, FileConversion& into);
