// The console converter: its options, standard input to standard output in
// every input encoding, files and folders into an output folder, existing
// outputs, exit statuses, and its bytes against the file job's for the same
// files.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "cli/CliConsole.h"
#include "cli/CliOptions.h"
#include "config/CfgStore.h"
#include "engine/ConvConfigs.h"
#include "engine/ConvWorker.h"
#include "glyphmap/glyphmap.h"
#include "pages/FileJob.h"
#include "tests/support/EngineConvert.h"
#include "tests/support/JobPage.h"
#include "tests/support/NotifySink.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"
#include "textio/Charsets.h"
#include "textio/DetectFileEncoding.h"

using namespace testing_support;

namespace {

struct CliResult {
  DWORD exitCode = 0xFFFF;
  std::string out;
  std::string err;
};

// Runs bin/tarnwell-cli.exe in `folder` with `args`, `input` as its standard
// input; standard output and error go to files, as in a script.
CliResult RunCli(const std::wstring& folder, const std::wstring& args,
                 const std::string& input = "") {
  CliResult result;
  TempDir io(L"cli-io");
  WriteFileBytes(io / L"in", input);
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  auto open = [&](const std::wstring& path, bool write) {
    return CreateFileW(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  HANDLE in = open(io / L"in", false), out = open(io / L"out", true),
         err = open(io / L"err", true);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = in;
  si.hStdOutput = out;
  si.hStdError = err;
  const std::wstring exe = ExeFolder() + L"\\tarnwell-cli.exe";
  std::wstring command = L"\"" + exe + L"\" " + args;
  PROCESS_INFORMATION pi{};
  const BOOL started = CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE,
                                      CREATE_NO_WINDOW, nullptr, folder.c_str(), &si, &pi);
  CloseHandle(in);
  CloseHandle(out);
  CloseHandle(err);
  EXPECT_TRUE(started) << "cannot start tarnwell-cli.exe";
  if (!started) return result;
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 120000), WAIT_OBJECT_0) << "tarnwell-cli hangs";
  GetExitCodeProcess(pi.hProcess, &result.exitCode);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  result.out = ReadFileBytes(io / L"out");
  result.err = ReadFileBytes(io / L"err");
  return result;
}

std::string Encode(const std::string& utf8, UINT codePage) {
  const std::wstring w = Wide(utf8);
  if (codePage == 1200 || codePage == 1201) {
    std::string bytes(reinterpret_cast<const char*>(w.data()), w.size() * 2);
    if (codePage == 1201) {
      for (size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
    }
    return bytes;
  }
  int n = WideCharToMultiByte(codePage, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

// The file page's job over `paths`, each detected as the page detects a
// file added by hand, into `outDir`.
void RunFileJob(const std::vector<std::wstring>& paths, ConvDirection direction,
                const std::wstring& settings, const std::wstring& outDir) {
  JobPage page(settings);
  ASSERT_GT(page.store.WriteString(CFGKEY_OUTPUT_DIR, outDir.c_str()), 0);
  page.direction = direction;
  for (const std::wstring& path : paths) {
    char charset[kCharsetNameSize] = {};
    const FileEncoding encoding = DetectFileEncoding(path.c_str(), charset);
    const UINT cp = encoding == EncAnsi ? CodePageForDetectedFile(path.c_str(), charset) : 0;
    FileEntry entry;
    ASSERT_TRUE(MakeFileEntry(path.c_str(), encoding, entry, cp));
    page.entries.push_back(entry);
  }
  page.RunToEnd(120000);
}

class CliTest : public ::testing::Test {
 protected:
  TempDir dir{L"命令行"};
  std::wstring src = dir / L"源 文件";
  std::wstring out = dir / L"输出";
  std::string hans = ReadFileBytes(ExeFolder() + L"\\textio_zh_hans.txt");
  std::string hant = ReadFileBytes(ExeFolder() + L"\\textio_zh_hant.txt");

  void SetUp() override {
    ASSERT_FALSE(hans.empty());
    ASSERT_FALSE(hant.empty());
    CreateDirectoryW(src.c_str(), nullptr);
  }
  std::wstring Source(const std::wstring& name, const std::string& bytes) {
    WriteFileBytes(src + L"\\" + name, bytes);
    return src + L"\\" + name;
  }
  static std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }
};

TEST(CliOptionsTest, ReadsEveryOptionAndRefusesBadOnes) {
  CliOptions o;
  std::wstring error;
  ASSERT_TRUE(ParseCliOptions({L"-c", L"T2S", L"--encoding=950", L"--to", L"utf8", L"-o",
                               L"出", L"-r", L"--append", L"-q", L"a.txt", L"--", L"-b.txt"},
                              o, error))
      << Utf8(error);
  EXPECT_EQ(o.direction, Tra2Sim);
  EXPECT_FALSE(o.input.detect);
  EXPECT_EQ(o.input.encoding, EncAnsi);
  EXPECT_EQ(o.input.codePage, 950u);
  EXPECT_EQ(o.outputPath, L"出");
  EXPECT_TRUE(o.recurse);
  EXPECT_EQ(o.existing, ExistingOutput::Append);
  EXPECT_TRUE(o.quiet);
  EXPECT_EQ(o.inputs, (std::vector<std::wstring>{L"a.txt", L"-b.txt"}));

  CliOptions d;
  ASSERT_TRUE(ParseCliOptions({L"--config", L"s2t", L"-e", L"utf16be", L"--overwrite"}, d, error));
  EXPECT_EQ(d.direction, Sim2Tra);
  EXPECT_EQ(d.input.encoding, EncUtf16Be);
  EXPECT_EQ(d.existing, ExistingOutput::Overwrite);
  EXPECT_TRUE(d.inputs.empty());
  for (const wchar_t* name : {L"auto", L"ansi", L"utf8", L"utf16le", L"65001", L"1200", L"936"}) {
    CliOptions e;
    EXPECT_TRUE(ParseCliOptions({L"-e", name}, e, error)) << Utf8(name);
  }
  for (const wchar_t* help : {L"-h", L"--help", L"/?"}) {
    CliOptions h;
    EXPECT_TRUE(ParseCliOptions({help}, h, error) && h.help) << Utf8(help);
  }
  CliOptions v;
  EXPECT_TRUE(ParseCliOptions({L"--version"}, v, error) && v.version);

  const std::vector<std::vector<std::wstring>> bad = {
      {L"-x"},          {L"--config"},          {L"-c", L"s2x"},   {L"-e", L"latin9"},
      {L"-e", L"99999"}, {L"--to", L"utf32"},   {L"-o", L""},      {L"--quiet=1"},
      {L"--overwrite", L"--append"},            {L""},
      {L"--keep-both", L"--overwrite"},         {L"--beside", L"-o", L"x"}};
  for (const auto& args : bad) {
    CliOptions b;
    error.clear();
    EXPECT_FALSE(ParseCliOptions(args, b, error)) << Utf8(args[0]);
    EXPECT_FALSE(error.empty());
  }
}

TEST(CliConsoleTest, AConsoleShowsEachOutputEncodingAsItsText) {
  using Form = TargetEncoding::Form;
  EXPECT_EQ(ConsoleText("\xA4\xA4\xA4\xE5\r\n", 6, {Form::CodePage, 950}), L"中文\r\n");
  EXPECT_EQ(ConsoleText("\xFF\xFE\x2D\x4E\x0D\x00", 6, {Form::Utf16Le}), L"中\r");
  EXPECT_EQ(ConsoleText("\xE4\xB8\xAD", 3, {}), L"中");
}

TEST_F(CliTest, HelpVersionAndUsageErrors) {
  CliResult help = RunCli(dir.path(), L"--help");
  EXPECT_EQ(help.exitCode, 0u);
  EXPECT_NE(help.out.find("用法"), std::string::npos);
  EXPECT_NE(help.out.find("Usage"), std::string::npos);
  EXPECT_NE(help.out.find("--overwrite"), std::string::npos);

  CliResult version = RunCli(dir.path(), L"--version");
  EXPECT_EQ(version.exitCode, 0u);
  EXPECT_EQ(version.out.rfind("tarnwell-cli 1.", 0), 0u) << version.out;

  CliResult bad = RunCli(dir.path(), L"--frobnicate a.txt");
  EXPECT_EQ(bad.exitCode, 2u);
  EXPECT_TRUE(bad.out.empty());
  EXPECT_NE(bad.err.find("--frobnicate"), std::string::npos) << bad.err;

  // Several inputs cannot go into one file.
  Source(L"a.txt", hans);
  Source(L"b.txt", hans);
  WriteFileBytes(dir / L"one.txt", "x");
  CliResult many = RunCli(src, L"a.txt b.txt -o " + Quoted(dir / L"one.txt"));
  EXPECT_EQ(many.exitCode, 2u) << many.err;
  EXPECT_EQ(ReadFileBytes(dir / L"one.txt"), "x");
  // Standard input goes to standard output only.
  CliResult piped = RunCli(src, L"-o " + Quoted(dir / L"one.txt"), hans);
  EXPECT_EQ(piped.exitCode, 2u) << piped.err;
  EXPECT_TRUE(piped.out.empty());
  EXPECT_EQ(ReadFileBytes(dir / L"one.txt"), "x");
}

// Standard input to standard output in every input encoding, detected and
// named, against the engine on the UTF-8 text.
TEST_F(CliTest, StandardInputToStandardOutputInEveryEncoding) {
  const std::string s2t = EngineConvert(hans, Sim2Tra);
  const std::string t2s = EngineConvert(hant, Tra2Sim);
  ASSERT_NE(s2t, hans);
  struct Case {
    const wchar_t* name;
    std::string bytes;
    const wchar_t* config;
    const std::string* expected;
  };
  const std::string bom16le = "\xFF\xFE", bom16be = "\xFE\xFF";
  const std::vector<Case> cases = {
      {L"utf8", hans, L"s2t", &s2t},
      {L"utf16le", bom16le + Encode(hans, 1200), L"s2t", &s2t},
      {L"utf16be", bom16be + Encode(hans, 1201), L"s2t", &s2t},
      {L"936", Encode(hans, 936), L"s2t", &s2t},
      {L"950", Encode(hant, 950), L"t2s", &t2s},
  };
  for (const Case& c : cases) {
    // The reader passes a byte-order mark on as U+FEFF, as the file job does.
    std::string expected = *c.expected;
    if (c.bytes.rfind(bom16le, 0) == 0 || c.bytes.rfind(bom16be, 0) == 0) {
      expected = "\xEF\xBB\xBF" + expected;
    }
    for (const std::wstring& encoding : {std::wstring(c.name), std::wstring(L"auto")}) {
      CliResult r = RunCli(dir.path(), L"-c " + std::wstring(c.config) + L" -e " + encoding, c.bytes);
      EXPECT_EQ(r.exitCode, 0u) << Utf8(c.name) << " " << r.err;
      EXPECT_EQ(r.out, expected) << Utf8(c.name) << " as " << Utf8(encoding);
      EXPECT_TRUE(r.err.empty()) << r.err;
    }
  }
  // Nothing in, nothing out, no failure.
  CliResult empty = RunCli(dir.path(), L"", "");
  EXPECT_EQ(empty.exitCode, 0u);
  EXPECT_TRUE(empty.out.empty());
}

// The same files through the file job and through the command line give
// the same bytes, whatever their encoding.
TEST_F(CliTest, FilesGiveTheFileJobsBytes) {
  const std::vector<std::wstring> files = {
      Source(L"简体 utf8.txt", hans),
      Source(L"简体 utf16le.txt", "\xFF\xFE" + Encode(hans, 1200)),
      Source(L"简体 utf16be.txt", "\xFE\xFF" + Encode(hans, 1201)),
      Source(L"简体 gb18030.txt", ReadFileBytes(ExeFolder() + L"\\textio_zh_hans.gb18030")),
      Source(L"繁体 big5.txt", ReadFileBytes(ExeFolder() + L"\\textio_zh_hant.big5")),
  };
  const std::wstring jobOut = dir / L"job";
  CreateDirectoryW(jobOut.c_str(), nullptr);
  ASSERT_NO_FATAL_FAILURE(RunFileJob(files, Sim2Tra, dir / L"Tarnwell.cfg", jobOut));

  std::wstring args = L"-c s2t -o " + Quoted(out);
  for (const std::wstring& f : files) args += L" " + Quoted(f);
  CliResult r = RunCli(dir.path(), args);
  EXPECT_EQ(r.exitCode, 0u) << r.err;
  for (const std::wstring& f : files) {
    const std::wstring name = f.substr(f.find_last_of(L'\\') + 1);
    const std::string job = ReadFileBytes(jobOut + L"\\" + name);
    ASSERT_FALSE(job.empty()) << Utf8(name);
    EXPECT_EQ(ReadFileBytes(out + L"\\" + name), job) << Utf8(name);
  }
  EXPECT_EQ(ReadFileBytes(out + L"\\简体 utf8.txt"), EngineConvert(hans, Sim2Tra));
}

TEST_F(CliTest, ExitStatusNamesEveryFailureAndLeavesNoPartialOutput) {
  Source(L"好.txt", hans);
  // A program under a text file's name: no text.
  Source(L"坏.txt", ReadFileBytes(ExeFolder() + L"\\tarnwell-cli.exe"));
  CliResult r = RunCli(src, L"-o " + Quoted(out) + L" 好.txt 坏.txt 没有.txt");
  EXPECT_EQ(r.exitCode, 1u);
  EXPECT_NE(r.err.find("坏.txt"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("没有.txt"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("好.txt"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFileBytes(out + L"\\好.txt"), EngineConvert(hans, Sim2Tra));
  EXPECT_EQ(GetFileAttributesW((out + L"\\坏.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(CliTest, ExistingOutputsAreKeptReplacedOrAppendedTo) {
  Source(L"文.txt", hans);
  const std::string converted = EngineConvert(hans, Sim2Tra);
  CreateDirectoryW(out.c_str(), nullptr);
  WriteFileBytes(out + L"\\文.txt", "old\r\n");

  CliResult kept = RunCli(src, L"文.txt -o " + Quoted(out));
  EXPECT_EQ(kept.exitCode, 1u);
  EXPECT_NE(kept.err.find("--overwrite"), std::string::npos) << kept.err;
  EXPECT_EQ(ReadFileBytes(out + L"\\文.txt"), "old\r\n");

  EXPECT_EQ(RunCli(src, L"文.txt --append -o " + Quoted(out)).exitCode, 0u);
  EXPECT_EQ(ReadFileBytes(out + L"\\文.txt"), "old\r\n" + converted);

  EXPECT_EQ(RunCli(src, L"文.txt --overwrite -o " + Quoted(out)).exitCode, 0u);
  EXPECT_EQ(ReadFileBytes(out + L"\\文.txt"), converted);

  // The default output folder is the current one: the source itself.
  CliResult self = RunCli(src, L"--overwrite 文.txt");
  EXPECT_EQ(self.exitCode, 1u);
  EXPECT_EQ(ReadFileBytes(src + L"\\文.txt"), hans);

  // One input may go to a file of another name.
  EXPECT_EQ(RunCli(src, L"-c s2t 文.txt -o " + Quoted(dir / L"繁體.txt")).exitCode, 0u);
  EXPECT_EQ(ReadFileBytes(dir / L"繁體.txt"), converted);
}

TEST_F(CliTest, OutputEncodingsWriteTheConversionAndBig5NamesWhatItCannotHold) {
  Source(L"字幕.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\n" + hans);
  const std::string converted = EngineConvert("1\r\n00:00:01,000 --> 00:00:02,000\r\n" + hans, Sim2Tra);
  EXPECT_EQ(RunCli(dir.path(), Quoted(src) + L" --to utf16le -o " + Quoted(out)).exitCode, 0u);
  const std::wstring wide = Wide(converted);
  EXPECT_EQ(ReadFileBytes(out + L"\\字幕.srt"),
            "\xFF\xFE" + std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2));

  // Simplified text has characters Big5 lacks: the file fails, naming
  // them, and no output is left.
  Source(L"繁.srt", hant);
  CliResult big5 = RunCli(src, L"-c t2s --to big5 繁.srt -o " + Quoted(dir / L"大五码"));
  EXPECT_EQ(big5.exitCode, 1u);
  EXPECT_NE(big5.err.find("(第 1 行)"), std::string::npos) << big5.err;
  EXPECT_EQ(GetFileAttributesW((dir / L"大五码\\繁.srt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(CliTest, FoldersGiveTheirTextFilesAndSubFoldersWithR) {
  Source(L"一.txt", hans);
  Source(L"不是文本.doc", hans);
  CreateDirectoryW((src + L"\\子").c_str(), nullptr);
  Source(L"子\\二.txt", hans);
  const std::string converted = EngineConvert(hans, Sim2Tra);

  EXPECT_EQ(RunCli(dir.path(), Quoted(src) + L" -o " + Quoted(out)).exitCode, 0u);
  EXPECT_EQ(ReadFileBytes(out + L"\\一.txt"), converted);
  EXPECT_EQ(GetFileAttributesW((out + L"\\不是文本.doc").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesW((out + L"\\子").c_str()), INVALID_FILE_ATTRIBUTES);

  // A folder without text files: nothing to do, and said.
  CreateDirectoryW((dir / L"空").c_str(), nullptr);
  CliResult none = RunCli(dir.path(), Quoted(dir / L"空") + L" -o " + Quoted(out));
  EXPECT_EQ(none.exitCode, 0u);
  EXPECT_NE(none.err.find("no text files"), std::string::npos) << none.err;

  const std::wstring deep = dir / L"递归";
  EXPECT_EQ(RunCli(dir.path(), L"-r " + Quoted(src) + L" -o " + Quoted(deep)).exitCode, 0u);
  EXPECT_EQ(ReadFileBytes(deep + L"\\一.txt"), converted);
  EXPECT_EQ(ReadFileBytes(deep + L"\\子\\二.txt"), converted);
}

// UTF-8 with a damaged character converts as UTF-8, the damaged place as
// U+FFFD, and standard error warns with the file's name and the count.
TEST_F(CliTest, DamagedUtf8ConvertsWithAWarningNotAsGarbledGbk) {
  std::string damaged = hans;
  size_t at = damaged.size() / 2;
  while ((static_cast<unsigned char>(damaged[at]) & 0xC0) != 0xC0) ++at;
  std::string mended = damaged;
  const size_t length = (static_cast<unsigned char>(damaged[at]) & 0xF0) == 0xE0 ? 3 : 2;
  damaged.erase(at + 1, 1);
  mended.replace(at, length, "\xEF\xBF\xBD");
  Source(L"损坏.txt", damaged);
  CreateDirectoryW(out.c_str(), nullptr);
  CliResult r = RunCli(src, L"-o " + Quoted(out) + L" 损坏.txt");
  EXPECT_EQ(r.exitCode, 0u) << r.err;
  EXPECT_NE(r.err.find("损坏.txt"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("1 处无效字节"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFileBytes(out + L"\\损坏.txt"), EngineConvert(mended, Sim2Tra));
}

TEST_F(CliTest, NoInputIsEverWrittenAsAnotherInputsOutput) {
  CreateDirectoryW((src + L"\\x").c_str(), nullptr);
  Source(L"x\\a.txt", hans);
  Source(L"a.txt", hant);
  for (const wchar_t* rule : {L"--overwrite", L"--append"}) {
    CliResult r = RunCli(src, L"x\\a.txt a.txt -o . " + std::wstring(rule));
    EXPECT_EQ(r.exitCode, 1u) << r.err;
    EXPECT_EQ(ReadFileBytes(src + L"\\a.txt"), hant) << Utf8(rule);
  }
}

TEST_F(CliTest, EveryStandardByItsNameOrFileNameWithAWordListAndTheInputOption) {
  Source(L"软件.txt", "软件和鼠标\r\n");
  for (const wchar_t* name : {L"s2t", L"s2tw", L"s2twp", L"s2hk", L"s2hkp", L"t2s", L"tw2s",
                              L"tw2sp", L"hk2s", L"hk2sp"}) {
    CliResult r = RunCli(src, L"-c " + std::wstring(name) + L" -i 软件.txt -o " +
                                  Quoted(dir / name));
    EXPECT_EQ(r.exitCode, 0u) << Utf8(name) << " " << r.err;
  }
  // Taiwan's words, and OpenCC's own spelling of the configuration (one
  // input's -o names its output file).
  EXPECT_EQ(ReadFileBytes(dir / L"s2twp"), "軟體和滑鼠\r\n");
  EXPECT_EQ(RunCli(src, L"-c s2twp.json 软件.txt -o " + Quoted(dir / L"json")).exitCode, 0u);
  EXPECT_EQ(ReadFileBytes(dir / L"json"), "軟體和滑鼠\r\n");

  // A word list wins over the dictionaries; its bad line is said once.
  WriteFileBytes(dir / L"词汇.txt", "软件\t軟件X\n坏行没有制表符\n");
  CliResult words = RunCli(src, L"--words " + Quoted(dir / L"词汇.txt") + L" 软件.txt 软件.txt -o " +
                                    Quoted(dir / L"词汇") + L" --keep-both");
  EXPECT_EQ(words.exitCode, 0u) << words.err;
  EXPECT_EQ(ReadFileBytes(dir / L"词汇\\软件.txt").rfind("軟件X和", 0), 0u);
  const size_t said = words.err.find("第 2 行");
  EXPECT_NE(said, std::string::npos) << words.err;
  EXPECT_EQ(words.err.find("第 2 行", said + 1), std::string::npos) << words.err;
}

TEST_F(CliTest, BesideTheSourceConvertedNamesAndKeepBothAsOnTheFilePages) {
  CreateDirectoryW((src + L"\\季").c_str(), nullptr);
  Source(L"季\\简体说明.srt", hans);
  const std::string converted = EngineConvert(hans, Sim2Tra);
  // Twice: the second run leaves the first one's output out of the folder
  // and replaces it.
  for (int run = 0; run < 2; ++run) {
    CliResult r = RunCli(src, L"--beside --convert-names --overwrite -r .");
    EXPECT_EQ(r.exitCode, 0u) << r.err;
  }
  EXPECT_EQ(ReadFileBytes(src + L"\\季\\簡體說明(繁體).srt"), converted);
  // Named with its source, the earlier output is that source's: not
  // converted again (said), and replaced by it.
  WriteFileBytes(src + L"\\季\\簡體說明(繁體).srt", "old\r\n");
  CliResult named = RunCli(src, L"--beside --convert-names --overwrite 季\\簡體說明(繁體).srt "
                                L"季\\简体说明.srt");
  EXPECT_EQ(named.exitCode, 0u) << named.err;
  EXPECT_NE(named.err.find("旧输出"), std::string::npos) << named.err;
  EXPECT_EQ(ReadFileBytes(src + L"\\季\\簡體說明(繁體).srt"), converted);
  EXPECT_EQ(GetFileAttributesW((src + L"\\季\\簡體說明(繁體)(繁體).srt").c_str()),
            INVALID_FILE_ATTRIBUTES);
  CliResult both = RunCli(src, L"--beside --convert-names --keep-both -r .");
  EXPECT_EQ(both.exitCode, 0u) << both.err;
  EXPECT_EQ(ReadFileBytes(src + L"\\季\\簡體說明(繁體) (2).srt"), converted);
  EXPECT_EQ(ReadFileBytes(src + L"\\季\\简体说明.srt"), hans);
}

}  // namespace
