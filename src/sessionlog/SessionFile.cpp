#include "SessionFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

#if defined(_WIN32)
#include <direct.h>
#include <io.h>
#else
#include <dirent.h>
#include <unistd.h>
#endif

namespace vx {

namespace {

std::string SystemError(int err) {
    if (err == ENOSPC) return "the disk is full";
    return std::strerror(err);
}

#if defined(_WIN32)
int OpenNew(const char* path) {
    return _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
int WriteSome(int fd, const void* p, size_t n) {
    return _write(fd, p, unsigned(std::min<size_t>(n, 1u << 30)));
}
int SyncFile(int fd) {
    return _commit(fd);
} // FlushFileBuffers underneath
int CloseFile(int fd) {
    return _close(fd);
}
int MakeFolder(const char* path) {
    return _mkdir(path);
}
#else
int OpenNew(const char* path) {
    return ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
}
ssize_t WriteSome(int fd, const void* p, size_t n) {
    return ::write(fd, p, n);
}
int SyncFile(int fd) {
    return ::fdatasync(fd);
}
int CloseFile(int fd) {
    return ::close(fd);
}
int MakeFolder(const char* path) {
    return ::mkdir(path, 0755);
}
#endif

bool IsSeparator(char c) {
#if defined(_WIN32)
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

} // namespace

bool TLogFile::CreateNew(const std::string& path) {
    Close();
    fd_ = OpenNew(path.c_str());
    if (fd_ < 0) {
        error_ = SystemError(errno);
        return false;
    }
    error_.clear();
#if !defined(_WIN32)
    // The new name must survive a power cut too: sync the folder that holds it.
    std::string folder = path.substr(0, path.find_last_of('/') + 1);
    int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
#endif
    return true;
}

bool TLogFile::Write(const void* data, size_t size) {
    auto p = static_cast<const char*>(data);
    while (size > 0) {
        auto n = WriteSome(fd_, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = SystemError(n < 0 ? errno : ENOSPC);
            return false;
        }
        p += n;
        size -= size_t(n);
    }
    return true;
}

bool TLogFile::Sync() {
    if (SyncFile(fd_) == 0) return true;
    // Files on a pipe or a special device cannot be synced; that is no loss.
    if (errno == EINVAL || errno == EROFS) return true;
    error_ = SystemError(errno);
    return false;
}

void TLogFile::Close() {
    if (fd_ >= 0) CloseFile(fd_);
    fd_ = -1;
}

char PathSeparator() {
#if defined(_WIN32)
    return '\\';
#else
    return '/';
#endif
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (IsSeparator(folder.back())) return folder + name;
    return folder + PathSeparator() + name;
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool MakeFolders(const std::string& folder, std::string& error) {
    if (folder.empty() || IsFolder(folder)) return true;
    // Each prefix that ends before a separator, then the whole path.
    for (size_t i = 1; i <= folder.size(); ++i) {
        if (i < folder.size() && !IsSeparator(folder[i])) continue;
        std::string part = folder.substr(0, i);
        if (part.empty() || IsFolder(part)) continue;
#if defined(_WIN32)
        if (part.size() == 2 && part[1] == ':') continue; // a drive
#endif
        if (MakeFolder(part.c_str()) != 0 && errno != EEXIST) {
            error = "Cannot create the folder \"" + part + "\": " + SystemError(errno);
            return false;
        }
    }
    if (!IsFolder(folder)) {
        error = "\"" + folder + "\" is not a folder";
        return false;
    }
    return true;
}

bool ListFiles(const std::string& folder, std::vector<std::string>& names, std::string& error) {
    names.clear();
#if defined(_WIN32)
    _finddata_t fd;
    intptr_t h = _findfirst(JoinPath(folder, "*").c_str(), &fd);
    if (h == -1) {
        if (errno == ENOENT) return true; // an empty folder
        error = "Cannot read the folder \"" + folder + "\": " + SystemError(errno);
        return false;
    }
    do {
        if (!(fd.attrib & _A_SUBDIR)) names.push_back(fd.name);
    } while (_findnext(h, &fd) == 0);
    _findclose(h);
#else
    DIR* d = ::opendir(folder.c_str());
    if (!d) {
        error = "Cannot read the folder \"" + folder + "\": " + SystemError(errno);
        return false;
    }
    while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st;
        if (::stat(JoinPath(folder, name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
            names.push_back(name);
    }
    ::closedir(d);
#endif
    std::sort(names.begin(), names.end());
    return true;
}

} // namespace vx
