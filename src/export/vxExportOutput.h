// The sink a document is written to: a buffered temporary file beside the
// target, renamed over the target only when the document is complete, or a
// memory buffer (the clipboard text).
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace vx {

class TvxOutput {
  public:
    TvxOutput() = default;
    ~TvxOutput(); // an uncommitted file is removed
    TvxOutput(const TvxOutput&) = delete;
    TvxOutput& operator=(const TvxOutput&) = delete;

    // Picks a free temporary name beside target; with openStream the file is
    // created for writing through this sink, otherwise only the name is kept
    // for a writer that saves its own file. Throws when it cannot be created.
    void OpenFile(const std::string& target, bool openStream = true);
    void OpenMemory();

    void Write(std::string_view bytes) {
        if (buffer_.size() + bytes.size() > kFlushSize) Flush(bytes.size());
        buffer_.append(bytes.data(), bytes.size());
    }
    void Write(char c) {
        if (buffer_.size() >= kFlushSize) Flush(1);
        buffer_.push_back(c);
    }
    void WriteLine(std::string_view line) {
        Write(line);
        Write(std::string_view("\r\n", 2));
    }
    // Splits text at CR LF, CR or LF and writes each line with CR LF; an empty
    // text writes nothing and a final line break adds no empty line.
    void WriteLines(std::string_view text);
    // A row whose line breaks are all CR LF already: written as it is, with
    // the final CR LF; an empty row writes nothing.
    void WriteRow(std::string_view row) {
        if (!row.empty()) WriteLine(row);
    }

    // Rows built in place: append to Buffer(), then EndRow with the size the
    // buffer had before. Saves copying every row once more. With breaksDone
    // the row's line breaks are CR LF already (as for WriteRow).
    std::string& Buffer() { return buffer_; }
    void EndRow(size_t start, bool breaksDone = false);

    // Flushes, closes and renames the file into place; throws on failure (the
    // temporary file is then removed and the target keeps its old content).
    void Commit();
    void Abort();

    const std::string& TempPath() const { return tempPath_; }
    const std::string& Target() const { return target_; }
    // The memory document.
    const std::string& Text() const { return buffer_; }

  private:
    static constexpr size_t kFlushSize = 1 << 18;
    void Flush(size_t incoming);
    void CloseFile();

    std::FILE* file_ = nullptr;
    bool memory_ = false;
    bool pending_ = false; // a temporary file exists that is not yet in place
    std::string buffer_, target_, tempPath_;
};

// Replaces target with source; the old target survives a failure.
bool ReplaceFile(const std::string& source, const std::string& target);

} // namespace vx
