#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <streambuf>
#include <string>

#include "os/console.h"
#include "os/desktop_opener.h"

namespace sessionstats {
namespace {

// Bytes or UTF-16 units a console stream moves at a time.
constexpr int kConsoleBufferSize = 4096;

constexpr char kPressEnter[] = "Press Enter to close this window.";
constexpr char kPressEnterToOpen[] =
    "Press Enter to open the page in your browser, or close this window.";

// The console window behind `handle`, or nullptr when the stream is a file,
// a pipe or nothing.
HANDLE consoleOf(DWORD standardHandle) {
  HANDLE handle = GetStdHandle(standardHandle);
  DWORD mode = 0;
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr ||
      GetConsoleMode(handle, &mode) == 0) {
    return nullptr;
  }
  return handle;
}

// Length of the UTF-8 sequence that begins with `lead`; 1 for a byte that
// begins none, which the conversion then replaces.
int sequenceLength(unsigned char lead) {
  if (lead >= 0xf0 && lead <= 0xf4) return 4;
  if (lead >= 0xe0) return lead <= 0xef ? 3 : 1;
  if (lead >= 0xc2) return 2;
  return 1;
}

// Writes UTF-8 to a console window as UTF-16, so that names show as typed
// whatever the console's code page. A sequence cut by the buffer's end waits
// for its other bytes.
class ConsoleOutput : public std::streambuf {
 public:
  explicit ConsoleOutput(HANDLE console) : console_(console) {
    setp(bytes_, bytes_ + kConsoleBufferSize);
  }

 protected:
  int_type overflow(int_type byte) override {
    if (!drain(false)) return traits_type::eof();
    if (!traits_type::eq_int_type(byte, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(byte);
      pbump(1);
    }
    return traits_type::not_eof(byte);
  }

  int sync() override { return drain(true) ? 0 : -1; }

 private:
  // Writes out the buffer's whole sequences, and with `all` every byte.
  bool drain(bool all) {
    const int size = static_cast<int>(pptr() - pbase());
    int whole = size;
    if (!all) {
      // Back up to the last lead byte; keep it when its sequence is cut.
      int lead = size;
      while (lead > 0 && lead > size - 4 &&
             (static_cast<unsigned char>(bytes_[lead - 1]) & 0xc0) == 0x80) {
        --lead;
      }
      if (lead > 0 &&
          lead - 1 +
                  sequenceLength(static_cast<unsigned char>(bytes_[lead - 1])) >
              size) {
        whole = lead - 1;
      }
    }
    bool ok = true;
    if (whole > 0) {
      const int units =
          MultiByteToWideChar(CP_UTF8, 0, bytes_, whole, units_, kUnits);
      for (int at = 0; ok && at < units;) {
        DWORD written = 0;
        ok =
            WriteConsoleW(console_, units_ + at, static_cast<DWORD>(units - at),
                          &written, nullptr) != 0 &&
            written > 0;
        at += static_cast<int>(written);
      }
    }
    const int kept = size - whole;
    for (int i = 0; i < kept; ++i) bytes_[i] = bytes_[whole + i];
    setp(bytes_, bytes_ + kConsoleBufferSize);
    pbump(kept);
    return ok;
  }

  // Every byte is at most one UTF-16 unit.
  static constexpr int kUnits = kConsoleBufferSize;
  HANDLE console_;
  char bytes_[kConsoleBufferSize];
  wchar_t units_[kUnits];
};

// Reads a console window's input as UTF-16 and hands it on as UTF-8: what
// the player types arrives as the log spells the name, whatever the
// console's code page. Ctrl-Z at the start of a read is the end of input.
class ConsoleInput : public std::streambuf {
 public:
  explicit ConsoleInput(HANDLE console) : console_(console) {
    setg(bytes_, bytes_, bytes_);
  }

  // Drops what is left of the lines read so far.
  void discardReadAhead() { setg(bytes_, bytes_, bytes_); }

 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    wchar_t units[kUnits + 1];
    int count = 0;
    if (pendingSurrogate_ != 0) {
      units[count++] = pendingSurrogate_;
      pendingSurrogate_ = 0;
    }
    DWORD got = 0;
    if (ReadConsoleW(console_, units + count, kUnits, &got, nullptr) == 0 ||
        got == 0 || units[count] == kCtrlZ) {
      return traits_type::eof();
    }
    count += static_cast<int>(got);
    // A pair of surrogates cut by the read waits for its second half.
    if (units[count - 1] >= 0xd800 && units[count - 1] <= 0xdbff) {
      pendingSurrogate_ = units[--count];
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, units, count, bytes_,
                                         sizeof bytes_, nullptr, nullptr);
    setg(bytes_, bytes_, bytes_ + size);
    return size > 0 ? traits_type::to_int_type(*gptr()) : underflow();
  }

 private:
  static constexpr int kUnits = kConsoleBufferSize / 4;
  static constexpr wchar_t kCtrlZ = 0x1a;
  HANDLE console_;
  wchar_t pendingSurrogate_ = 0;
  // Every UTF-16 unit is at most three bytes of UTF-8, a pair four.
  char bytes_[kConsoleBufferSize];
};

// The console streams put in place of the standard ones, and those they
// replaced, restored when the Console ends.
std::optional<ConsoleInput> consoleIn;
std::optional<ConsoleOutput> consoleOut;
std::optional<ConsoleOutput> consoleErr;
std::streambuf* savedIn = nullptr;
std::streambuf* savedOut = nullptr;
std::streambuf* savedErr = nullptr;

// Whether `error` (from GetLastError) says that a pipe's other end is
// closed or closing.
bool isPipeGone(DWORD error) {
  return error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE ||
         error == ERROR_PIPE_NOT_CONNECTED;
}

// Reads standard input up to the end of a line; false when the input ends
// first (the window is closing).
bool awaitEnter() {
  std::cin.clear();
  std::streambuf* const input = std::cin.rdbuf();
  for (int byte = input->sbumpc(); byte != std::char_traits<char>::eof();
       byte = input->sbumpc()) {
    if (byte == '\n' || byte == '\r') return true;
  }
  return false;
}

}  // namespace

// Started by a double click, not from cmd.exe or PowerShell, which share the
// window.
bool consoleWindowIsOwn() {
  DWORD processes[2] = {};
  return consoleOf(STD_INPUT_HANDLE) != nullptr &&
         GetConsoleProcessList(processes, 2) == 1;
}

Console::Console() {
  if (HANDLE console = consoleOf(STD_INPUT_HANDLE)) {
    savedIn = std::cin.rdbuf(&consoleIn.emplace(console));
  }
  if (HANDLE console = consoleOf(STD_OUTPUT_HANDLE)) {
    savedOut = std::cout.rdbuf(&consoleOut.emplace(console));
  }
  if (HANDLE console = consoleOf(STD_ERROR_HANDLE)) {
    savedErr = std::cerr.rdbuf(&consoleErr.emplace(console));
  }
}

Console::~Console() {
  std::cout.flush();
  std::cerr.flush();
  if (savedIn != nullptr) std::cin.rdbuf(savedIn);
  if (savedOut != nullptr) std::cout.rdbuf(savedOut);
  if (savedErr != nullptr) std::cerr.rdbuf(savedErr);
}

int Console::finish(int status, const std::string& summary,
                    const std::string& page) {
  if (!consoleWindowIsOwn()) return status;
  std::cerr.flush();
  if (status == 0 && !summary.empty()) std::cout << summary << '\n';
  const bool opens = status == 0 && !page.empty();
  std::cout << (opens ? kPressEnterToOpen : kPressEnter) << std::flush;
  // The rest of the line that held the answer is not the Enter awaited.
  if (consoleIn) consoleIn->discardReadAhead();
  if (!awaitEnter() || !opens) return status;
  if (const Status opened = openWithDesktop(page); !opened.ok()) {
    std::cout << "Could not open " << page << " ("
              << std::strerror(opened.error())
              << "): open it from the folder yourself.\n"
              << kPressEnter << std::flush;
    awaitEnter();
  }
  return status;
}

bool standardInputIsTerminal() {
  return consoleOf(STD_INPUT_HANDLE) != nullptr;
}

bool standardOutputIsTerminal() {
  return consoleOf(STD_OUTPUT_HANDLE) != nullptr;
}

bool standardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

void useStandardOutputForData() {
  std::cout.flush();
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
}

// The C runtime gives a write to a pipe whose reader has gone EPIPE or,
// when Windows says ERROR_NO_DATA, EINVAL; the Windows error stays in
// _doserrno. Without a failed write, a write of no bytes asks the pipe,
// which not every pipe answers (Wine's over a POSIX pipe takes it), so a
// reader once found gone stays gone: it never comes back.
bool standardOutputReaderGone(int writeError) {
  static bool gone = false;
  if (gone) return true;
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (writeError == EPIPE) {
    gone = true;
  } else if (output != INVALID_HANDLE_VALUE && output != nullptr &&
             GetFileType(output) == FILE_TYPE_PIPE) {
    DWORD written = 0;
    gone = writeError != 0 ? isPipeGone(_doserrno)
                           : WriteFile(output, "", 0, &written, nullptr) == 0 &&
                                 isPipeGone(GetLastError());
  }
  return gone;
}

}  // namespace sessionstats
