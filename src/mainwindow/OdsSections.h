// Where captured OutputDebugString texts land: one section per process under
// the side-bar header "OutputDebugString", one general debug row per line,
// stamped with the time the text was read.
#pragma once

#include "capture/OdsText.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vx {

class TSectionManager;
struct ISectionFrame;

class TOdsSections {
  public:
    explicit TOdsSections(TSectionManager& manager) : manager_(manager) {}

    void Apply(std::vector<TOdsEvent>& events);
    // One event; true when it had to build or connect its process's section,
    // which takes the window far longer than a row.
    bool Apply(TOdsEvent& event);
    // The capture stopped: no section hears from its process any more.
    void DisconnectAll();
    // Texts of this process that waited for room in the queue.
    uint64_t Delayed(const std::string& clientID) const;

  private:
    ISectionFrame* SectionOf(const TOdsProcess& process, bool& connected);
    bool AddText(const TOdsEvent& event);
    void Ended(const TOdsProcess& process);

    TSectionManager& manager_;
    std::map<std::string, uint64_t> delayed_;
    std::vector<std::string> connected_; // client IDs of the sections this capture connected
};

// The caption of a process's section: its file name, and how many of its
// texts had to wait.
std::string OdsCaption(const TOdsProcess& process, uint64_t delayed);

} // namespace vx
