#include "textio/MakeReader.h"

#include "textio/TReaderAnsi.h"
#include "textio/TReaderUtf16.h"

std::unique_ptr<TReader> MakeReader(FileEncoding encoding) {
  switch (encoding) {
    case EncAnsi:
      return std::make_unique<TReaderAnsi>();
    case EncUtf16:
      return std::make_unique<TReaderUtf16>();
    case EncUtf16Be:
      return std::make_unique<TReaderUtf16be>();
    default:
      return std::make_unique<TReader>();
  }
}
