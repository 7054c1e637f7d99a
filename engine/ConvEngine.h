#pragma once
#include <string>
#include <utility>
#include <vector>

#include "engine/ConvDirection.h"
#include "engine/TextPlaces.h"

// What a job converts with beyond its direction: the Traditional standard
// (engine/Standards.h) and the user's word list for the direction (a path;
// empty: none).
struct ConvOptions {
  std::int32_t standard = 0;
  std::wstring wordList;
};

// A job's binding to glyphmap: one instance, opened for one direction.
// Created, used, closed and deleted on the job's own worker thread;
// deleting it closes the instance still open.
class ConvEngine {
 public:
  ConvEngine() = default;
  ~ConvEngine() { Close(); }
  ConvEngine(const ConvEngine&) = delete;
  ConvEngine& operator=(const ConvEngine&) = delete;

  // Opens glyphmap with the direction's configuration text (an empty text
  // for a direction outside 0..1): the older two-dictionary conversion that
  // other copies of the program hand over as text. The program's own
  // conversions open by name (below). True when an instance is open. May
  // throw std::runtime_error from glyphmap.
  bool Open(ConvDirection direction);
  // Opens glyphmap with the configuration of the direction and standard (by
  // its name: glyphmap holds the configurations) and
  // the word list. When the list has lines glyphmap skipped, keeps the
  // report for TakeWordListReport, once per version of the file. True when
  // an instance is open. May throw std::runtime_error from glyphmap.
  bool Open(ConvDirection direction, const ConvOptions& options);
  // Releases the instance, if any (a borrowed one is only let go), and
  // empties the configuration list.
  void Close();

  // Converts `length` bytes of UTF-8 text into `output`, which it sizes
  // itself; afterwards `output` holds the converted bytes (none without an
  // open instance). May throw std::runtime_error from glyphmap for text it
  // rejects, `output` then keeping what was converted before the failure,
  // and std::bad_alloc.
  void Convert(const char* utf8, size_t length, std::string& output);
  // As Convert, and the places of the result where a character with
  // several counterparts was converted alone (glyphmap_convert_places), in
  // order: those worth a look, or every one with `everyPlace`.
  void ConvertMarked(const char* utf8, size_t length, bool everyPlace, std::string& output,
                     std::vector<Utf8Place>& places);
  // The room, terminator included, that converting `length` bytes may
  // need; 0 without an open instance.
  size_t Bound(size_t length) const;
  // Converts `length` bytes straight into `output` of `capacity` bytes (at
  // least Bound(length)), with no copy between; returns the bytes written,
  // the terminator not counted. Throws as Convert does.
  size_t ConvertInto(const char* utf8, size_t length, char* output, size_t capacity);

  int Handle() const { return handle_; }
  // An engine for another thread converting with this one's instance at
  // the same time (conversions only read it). It never closes the
  // instance: this engine must stay open while the borrower converts.
  ConvEngine Borrow() const { return ConvEngine(handle_); }
  // What the last Open found skipped in the word list (UTF-8), for the
  // caller to tell the user on its own thread; empty when nothing is to be
  // said. Clears it.
  std::string TakeWordListReport() {
    std::string report;
    report.swap(wordListReport_);
    return report;
  }
  const std::vector<std::string>& Configurations() const { return configurations_; }

 private:
  explicit ConvEngine(int borrowed) : handle_(borrowed), owned_(false) {}

  int handle_ = -1;
  bool owned_ = true;
  std::string wordListReport_;
  std::vector<std::string> configurations_;
};
