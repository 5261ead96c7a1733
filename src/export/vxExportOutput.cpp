#include "export/vxExportOutput.h"

#include "export/vxExportFormat.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace vx {
namespace {

bool Exists(const std::string& path) {
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fclose(f);
        return true;
    }
    return false;
}

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
    throw std::runtime_error(what + " \"" + path + "\": " + std::strerror(errno));
}

} // namespace

bool ReplaceFile(const std::string& source, const std::string& target) {
    if (std::rename(source.c_str(), target.c_str()) == 0) return true;
    // Windows will not rename over an existing file: move the old one aside
    // first and bring it back if the new one cannot take its place.
    if (!Exists(target)) return false;
    std::string backup;
    for (unsigned n = 1; n < 1000; ++n) {
        backup = target + ".~old" + std::to_string(n);
        if (!Exists(backup)) break;
    }
    if (std::rename(target.c_str(), backup.c_str()) != 0) return false;
    if (std::rename(source.c_str(), target.c_str()) != 0) {
        std::rename(backup.c_str(), target.c_str());
        return false;
    }
    std::remove(backup.c_str());
    return true;
}

TvxOutput::~TvxOutput() {
    Abort();
}

void TvxOutput::OpenFile(const std::string& target, bool openStream) {
    Abort();
    memory_ = false;
    target_ = target;
    // A name in the target's folder, so the final rename stays on one volume;
    // it keeps the target's extension for writers that insist on one.
    std::string folder = ExtractFilePath(target);
    std::string name = target.substr(folder.size());
    for (unsigned n = 1;; ++n) {
        tempPath_ = folder + "~vx" + std::to_string(n) + "~" + name;
        if (!Exists(tempPath_)) break;
        if (n == 10000) Fail("No free temporary name for", target);
    }
    buffer_.clear();
    // Room for a small document at once; a large one grows it to kFlushSize.
    buffer_.reserve(kFlushSize / 8);
    if (openStream) {
        file_ = std::fopen(tempPath_.c_str(), "wb");
        if (!file_) Fail("Cannot create file", tempPath_);
        std::setvbuf(file_, nullptr, _IONBF, 0); // this sink buffers already
    }
    pending_ = true;
}

void TvxOutput::OpenMemory() {
    Abort();
    memory_ = true;
    buffer_.clear();
}

void TvxOutput::Flush(size_t incoming) {
    if (memory_) {
        // Grows geometrically: the clipboard text is built in memory anyway.
        if (buffer_.capacity() < buffer_.size() + incoming)
            buffer_.reserve(2 * (buffer_.size() + incoming));
        return;
    }
    if (!buffer_.empty()) {
        if (!file_) throw std::logic_error("document written to a closed sink");
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
            Fail("Cannot write file", tempPath_);
        buffer_.clear();
    }
}

void TvxOutput::WriteLines(std::string_view text) {
    const char* p = text.data();
    const char* end = p + text.size();
    // The next CR and the next LF, each searched again only once passed.
    const char* cr = static_cast<const char*>(std::memchr(p, '\r', text.size()));
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', text.size()));
    while (p < end) {
        if (cr && cr < p) cr = static_cast<const char*>(std::memchr(p, '\r', size_t(end - p)));
        if (lf && lf < p) lf = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        const char* brk = !cr ? lf : !lf ? cr : cr < lf ? cr : lf;
        if (!brk) brk = end;
        WriteLine(std::string_view(p, size_t(brk - p)));
        p = brk;
        if (p < end && *p == '\r') ++p;
        if (p < end && *p == '\n') ++p;
    }
}

void TvxOutput::EndRow(size_t start, bool breaksDone) {
    const char* row = buffer_.data() + start;
    size_t size = buffer_.size() - start;
    if (!breaksDone && (std::memchr(row, '\r', size) || std::memchr(row, '\n', size))) {
        // A value held a line break: the row is split into lines like any text.
        std::string text(row, size);
        buffer_.resize(start);
        WriteLines(text);
        return;
    }
    if (size == 0) return;
    buffer_.append("\r\n", 2);
    if (buffer_.size() >= kFlushSize) Flush(0);
}

void TvxOutput::CloseFile() {
    if (!file_) return;
    std::FILE* f = file_;
    file_ = nullptr;
    if (std::fclose(f) != 0) Fail("Cannot write file", tempPath_);
}

void TvxOutput::Commit() {
    if (memory_ || !pending_) return;
    try {
        Flush(0);
        CloseFile();
        if (!ReplaceFile(tempPath_, target_)) Fail("Cannot replace file", target_);
        pending_ = false;
    } catch (...) {
        Abort();
        throw;
    }
}

void TvxOutput::Abort() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (pending_) {
        std::remove(tempPath_.c_str());
        pending_ = false;
    }
    if (!memory_) buffer_.clear();
}

} // namespace vx
