// Small helpers shared by the fuzz targets.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace vxfuzz {

// A broken invariant: libFuzzer reports the abort with its input.
inline void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// Where scratch files go: $TMPDIR, else memory (/dev/shm) when the system
// has it, since a file written at every run costs little there.
inline std::string ScratchFolder() {
    const char* tmp = std::getenv("TMPDIR");
    if (tmp && *tmp) return tmp;
    return access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
}

// A name for a file of this process's own in the scratch folder.
inline const std::string& ScratchPath(const char* stem) {
    static const std::string path =
        ScratchFolder() + "/" + stem + "-" + std::to_string(long(getpid()));
    return path;
}

// A folder of the run's own in the scratch folder, removed with what it holds.
class TScratchFolder {
  public:
    TScratchFolder() {
        std::string p = ScratchFolder() + "/vxfuzz-XXXXXX";
        Check(mkdtemp(p.data()) != nullptr, "a scratch folder is made");
        Path = p + "/";
    }
    ~TScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
    std::string Path;
};

inline void WriteWhole(const std::string& path, const void* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    Check(f != nullptr, "the scratch file cannot be written");
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

} // namespace vxfuzz
