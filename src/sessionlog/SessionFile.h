// The few file operations the session log needs, on the C run-time of either
// system (no <windows.h>): 8-bit paths, exclusive creation, writes that report
// how they failed, and flushing to the disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vx {

class TLogFile {
  public:
    TLogFile() = default;
    ~TLogFile() { Close(); }
    TLogFile(const TLogFile&) = delete;
    TLogFile& operator=(const TLogFile&) = delete;

    // Creates a new file for writing; fails when it exists. On failure Error()
    // tells why.
    bool CreateNew(const std::string& path);
    // Writes all of it or fails (a short write, a full disk).
    bool Write(const void* data, size_t size);
    // Asks the system to put what was written on the disk.
    bool Sync();
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Error() const { return error_; }

  private:
    int fd_ = -1;
    std::string error_;
};

char PathSeparator();
std::string JoinPath(const std::string& folder, const std::string& name);
// Creates a folder and its missing parents; false and a message when it cannot.
bool MakeFolders(const std::string& folder, std::string& error);
// Names of the files in a folder (not its subfolders), sorted.
bool ListFiles(const std::string& folder, std::vector<std::string>& names, std::string& error);
bool IsFolder(const std::string& path);
bool FileExists(const std::string& path);

} // namespace vx
