// The portable side of OutputDebugString capture: what one text of the
// system's debug-output buffer becomes, and how a process is named.
#pragma once

#include "platform/Platform.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// The buffer is 4096 bytes: the sender's process ID, then a NUL-terminated text.
inline constexpr size_t kDbwinBufferSize = 4096;
inline constexpr size_t kDbwinTextCapacity = kDbwinBufferSize - sizeof(uint32_t);
// The side-bar header under which every process's section hangs.
inline constexpr const char* kOdsHeader = "OutputDebugString";

// The text of a buffer of `size` bytes that another process filled: up to
// its first NUL, never past the buffer's end, whatever the sender wrote.
std::string DbwinText(const char* buffer, size_t size);

// One row per line: CR LF, LF and CR each end a line; a line break at the very
// end adds no empty row, and an empty text is one empty row.
std::vector<std::string_view> SplitLines(std::string_view text);

// A process as its section knows it. The ID is unique per process (its ID
// and start time), so a process ID the system gives out again gets a new
// section; its first word, shown in the section's ID label, is "PID:<id>".
struct TOdsProcess {
    uint32_t Pid = 0;
    std::string ClientID;
    std::string Path;     // the program file, or empty when it could not be read
    std::string FileName; // the button's caption
};
// startTime: the process's creation time in 100 ns units (0 when unknown).
TOdsProcess MakeOdsProcess(uint32_t pid, uint64_t startTime, const std::string& path);

// What the reader hands to the user-interface thread.
struct TOdsEvent {
    enum TKind : uint8_t { oeText, oeEnded };
    TKind Kind = oeText;
    std::shared_ptr<const TOdsProcess> Process;
    std::string Text;     // oeText: the whole text as the process sent it
    TDateTime Time = 0;   // receive time
    bool Delayed = false; // the reader had to wait for room in the queue
};

} // namespace vx
