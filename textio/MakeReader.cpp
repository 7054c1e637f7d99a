#include "textio/MakeReader.h"

#include "textio/TReaderAnsi.h"
#include "textio/TReaderUtf16.h"
#include "textio/TReaderUtf32.h"

std::unique_ptr<TReader> MakeReader(FileEncoding encoding, UINT codePage) {
  switch (encoding) {
    case EncAnsi: {
      if (codePage == kCodePageUtf32Le) return std::make_unique<TReaderUtf32>();
      if (codePage == kCodePageUtf32Be) return std::make_unique<TReaderUtf32be>();
      auto reader = std::make_unique<TReaderAnsi>();
      if (codePage != kSystemCodePage) reader->SetCodePage(codePage);
      return reader;
    }
    case EncUtf16:
      return std::make_unique<TReaderUtf16>();
    case EncUtf16Be:
      return std::make_unique<TReaderUtf16be>();
    default:
      return std::make_unique<TReader>();
  }
}
