// odsreceive: a bare reader of the system's debug-output buffer. It re-arms
// the buffer for every text and counts them without doing anything else,
// which gives the ceiling the viewer's rate is measured against. Ends after
// N texts (exit 0), or when none came for the timeout (exit 1).
//
// Usage: odsreceive N [TIMEOUT_MS]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: odsreceive N [TIMEOUT_MS]\n", stderr);
        return 2;
    }
    long limit = std::strtol(argv[1], nullptr, 10);
    DWORD timeout = argc > 2 ? DWORD(std::strtoul(argv[2], nullptr, 10)) : 30000;
    if (HANDLE other = OpenEventA(SYNCHRONIZE, FALSE, "DBWIN_BUFFER_READY")) {
        CloseHandle(other);
        std::fputs("odsreceive: another program reads the buffer\n", stderr);
        return 1;
    }
    HANDLE ready = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
    HANDLE data = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
    HANDLE mapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, "DBWIN_BUFFER");
    const char* view =
        mapping ? static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 4096))
                : nullptr;
    if (!ready || !data || !view) {
        std::fputs("odsreceive: the buffer cannot be made\n", stderr);
        return 1;
    }
    std::printf("odsreceive: ready\n");
    std::fflush(stdout);
    LARGE_INTEGER freq, first{}, last{};
    QueryPerformanceFrequency(&freq);
    long count = 0;
    volatile char sink = 0;
    while (count < limit) {
        SetEvent(ready);
        if (WaitForSingleObject(data, timeout) != WAIT_OBJECT_0) break;
        sink = view[4]; // touch the text as a reader that copies it would
        QueryPerformanceCounter(count == 0 ? &first : &last);
        ++count;
    }
    (void)sink;
    double s = double(last.QuadPart - first.QuadPart) / double(freq.QuadPart);
    std::printf("odsreceive: %ld of %ld texts, %.0f per second\n", count, limit,
                count > 1 && s > 0 ? (count - 1) / s : 0.0);
    return count == limit ? 0 : 1;
}
