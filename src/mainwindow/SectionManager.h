// The dispatcher and section manager of the main window: every client record
// becomes one operation on its client's section, connecting clients get a
// section and a side-bar button, and the section list lives here.
//
// The main window owns one TSectionManager. Its WM_COPYDATA handler calls
// WMCopyData with the block and its delivered size; its handler of the
// "vxClient2Debugger" message calls Handshake and posts vnAnswer when that
// returns true. Sections are built through the Factory (the Win32 frame in
// the program, a bare core in tests).
#pragma once

#include "platform/Platform.h"
#include "protocol/Common_Types.h"
#include "sections/SectionCore.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vx {

class TvxOutlookBar;
class TSideBarImages;
namespace sbar {
class TObject;
}

// A section as the manager owns it: the frame around the section's core.
struct ISectionFrame {
    virtual ~ISectionFrame() = default;
    virtual TSectionCore& Core() = 0;
};

struct TSectionManagerContext {
    TPlatform Platform;               // Dialogs for the error boxes
    TvxOutlookBar* SideBar = nullptr; // headers by application, buttons by section
    TSideBarImages* LargeImages = nullptr;
    TSideBarImages* SmallImages = nullptr;
    // Builds a section frame; may throw or return null when it cannot.
    std::function<std::unique_ptr<ISectionFrame>()> Factory;
    // Kind 33 and "&Show...": the main window becomes visible and comes to the front.
    std::function<void()> ShowMainWindow;
    // An exception raised by a section operation (a range error, say): the
    // application shows it in its error box and logs it.
    std::function<void(const std::exception&)> OnException;
};

class TSectionManager {
  public:
    explicit TSectionManager(const TSectionManagerContext& context);
    ~TSectionManager();
    TSectionManager(const TSectionManager&) = delete;
    TSectionManager& operator=(const TSectionManager&) = delete;

    // Decodes and dispatches one WM_COPYDATA block of `size` delivered bytes.
    // Blocks that cannot be decoded (null, shorter than the fixed part) are dropped.
    void WMCopyData(uint32_t wParam, const void* data, size_t size);
    // A record that came over TCP from `host`: it reaches only sections of
    // that host (the same ClientID on this desktop or another host is another
    // section), and it never shows a box. What went wrong is returned instead.
    // A remote host may own at most kMaxRemoteSections sections: each is a
    // set of windows, and a peer must not use up the viewer's handles.
    static constexpr size_t kMaxRemoteSections = 100;
    enum class TRemoteResult { rrApplied, rrUnknownKind, rrShort, rrFailed, rrTooManySections };
    TRemoteResult DispatchRemote(const std::string& host, uint32_t wParam, const void* data,
                                 size_t size, std::string* failure = nullptr);
    // A connection from `host` has ended: its sections show what came at once.
    void RemoteRecordsEnded(const std::string& host);
    // A "vxClient2Debugger" request: true when it is a handshake to answer;
    // any other code shows the error box and gets no answer.
    bool Handshake(uint32_t wParam);

    // The last section whose ClientID equals id byte for byte, or null.
    // Deleted sections are never found, even by a client whose own ID begins
    // with "DEL_": nobody could see what they took. Nor are sections read
    // from a file. Sections of remote clients are found only with their host.
    ISectionFrame* FindSection(const std::string& clientID) const;
    ISectionFrame* FindSection(const std::string& clientID, const std::string& host) const;
    // A new section, or null when building it fails (nothing is left behind).
    ISectionFrame* CreateSection(const std::string& clientID, const std::string& application,
                                 const std::string& host = {});
    // A source inside the viewer (not a client record) connects a section:
    // found by ClientID or created with the application text, connected,
    // captioned, and given a button under the header whose hint is `header`.
    // Null when the section cannot be built.
    ISectionFrame* ConnectLocal(const std::string& clientID, const std::string& header,
                                const std::string& application, const std::string& caption);
    // A new section for a session read from a file, with a button titled
    // `button` under the header `header`; the caller fills it and makes it
    // read-only. Null when it cannot be built. Client records never find it.
    ISectionFrame* CreateFileSection(const std::string& clientID, const std::string& header,
                                     const std::string& button);
    // Click handler of every section button.
    void ShowSectionsExecute(sbar::TObject* sender);
    void FreeAllSections();
    // Puts an empty stand-in in place of the deleted section with this
    // number (numbers are positions, so the place stays taken): its windows,
    // fonts, menus, rows and data go now, not at the end of the program.
    // False when there is no deleted section with that number or it is
    // already a stand-in.
    bool ReleaseDeletedSection(int sectionNumber);
    // Windows is ending the session: every section's panel layout is kept,
    // and nothing is freed.
    void SaveAllPanelSettings();

    // Records applied one after another in one turn of the window (a slice
    // of a flood) while a burst is open: each section they reach makes the
    // texts of its focused row (status panels, source fields, data panel)
    // once, when the burst ends or before an error box, not once per row.
    class TBurst {
      public:
        explicit TBurst(TSectionManager& manager) : m_(manager) { ++m_.burst_; }
        ~TBurst();
        TBurst(const TBurst&) = delete;
        TBurst& operator=(const TBurst&) = delete;

      private:
        TSectionManager& m_;
    };
    // Appends a client's row to its section, its texts made now or, in a
    // burst, when the burst ends. False when the section takes no rows.
    bool AddRow(TSectionCore& core, TDebugInfoRec& rec);
    // Makes the texts that wait for the end of the burst now.
    void FlushBurst() noexcept;

    size_t SectionCount() const { return sections_.size(); }
    // The window that owns the manager completes the context once its side
    // bar exists, and reads the section list directly.
    TSectionManagerContext& Context() { return ctx_; }
    std::vector<std::unique_ptr<ISectionFrame>>& List() { return sections_; }
    ISectionFrame& Section(size_t index) const { return *sections_[index]; }

  private:
    void Dispatch(const std::string& clientID, const std::string& host, TDebugInfoRec& rec,
                  uint32_t wParam);
    void Connect(const std::string& clientID, const std::string& host, const TDebugInfoRec& rec);
    void AddSideBarButton(TSectionCore& core, const std::string& application,
                          const std::string& caption);

    void ShowError(const std::string& text);
    // The record being decoded; a record nested in an error box decodes into
    // one of its own.
    class TPacketSlot {
      public:
        explicit TPacketSlot(TSectionManager& m);
        ~TPacketSlot();
        TDecodedPacket& operator*() { return *packet_; }
        TDecodedPacket* operator->() { return packet_; }

      private:
        TSectionManager& m_;
        std::unique_ptr<TDecodedPacket> own_;
        TDecodedPacket* packet_;
    };

    TSectionManagerContext ctx_;
    std::vector<std::unique_ptr<ISectionFrame>> sections_;
    int burst_ = 0;
    std::vector<int> due_; // numbers of the sections whose texts wait for the burst's end
    int lastDue_ = 0;      // the one that took the last row: its texts are made last
    TDecodedPacket packet_;
    bool packetTaken_ = false;
};

// "Unknown Message in Debugger WMCOPYDATA [%d]," and its handshake twin, with
// the whole wParam as a signed number.
std::string UnknownCopyDataText(uint32_t wParam);
std::string UnknownHandshakeText(uint32_t wParam);
// The file-name part of an application path: what follows the last "\" or ":".
std::string ApplicationFileName(const std::string& path);

} // namespace vx
