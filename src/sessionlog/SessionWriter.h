// Writes one session file: records are encoded into a block as they arrive;
// a block is deflated and handed to the system when it is full and whenever
// the owner calls Flush (once a second from a timer), and Flush(true) also
// asks the system to put it on the disk.
//
// A failure (the file cannot be made, the disk is full) is kept in Error(),
// the file is closed and every later call does nothing and returns false;
// the writer never throws and only ever reads the rows it is given.
#pragma once

#include "SessionFile.h"
#include "SessionFormat.h"
#include "protocol/Common_Types.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

TDebugRowView RowView(const TDebugInfoRec& rec);

class TSessionWriter {
  public:
    TSessionWriter();
    ~TSessionWriter(); // flushes (without waiting for the disk) and closes
    TSessionWriter(const TSessionWriter&) = delete;
    TSessionWriter& operator=(const TSessionWriter&) = delete;

    // Creates a new file (never one that exists) and writes its header.
    bool Create(const std::string& path, TDateTime created);

    bool Identity(std::string_view clientID, std::string_view application,
                  std::string_view caption);
    bool Level(std::string_view text);
    bool AppendRow(const TDebugRowView& row);
    bool InsertRow(size_t index, const TDebugRowView& row);
    bool EditRow(size_t index, std::string_view text);
    bool DeleteRow(size_t index);
    bool ClearRows();
    bool Message(std::string_view line);
    bool Billboard(const std::vector<std::string>& lines);
    bool InfoLine(int index, std::string_view caption, std::string_view value);
    bool ClearInfoPad();

    // Writes the pending block; with sync, waits until the disk has it.
    bool Flush(bool sync);
    // Flushes, syncs and closes; the writer is then done.
    bool Close();

    bool IsOpen() const { return file_.IsOpen(); }
    bool Failed() const { return !error_.empty(); }
    const std::string& Error() const { return error_; }
    const std::string& Path() const { return path_; }
    uint64_t Records() const { return records_; }
    uint64_t BytesWritten() const { return written_; }
    // Records encoded but not yet handed to the system.
    size_t PendingRecords() const { return pendingRecords_; }

  private:
    struct TDeflater;
    bool Ready() const { return file_.IsOpen(); }
    template <class F> bool Encode(F&& encode);
    bool Added();
    bool WriteBlock();
    bool Fail(const std::string& what, const std::string& why);

    TLogFile file_;
    std::string path_;
    std::string error_;
    std::vector<uint8_t> block_; // raw records of the pending block
    std::vector<uint8_t> frame_; // header and deflated bytes of a block
    std::unique_ptr<TDeflater> deflater_;
    size_t pendingRecords_ = 0;
    uint64_t records_ = 0;
    uint64_t written_ = 0;
    bool unsynced_ = false;
};

} // namespace vx
