#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

// The split engine's one interface to whoever drives it: the window, the terminal front end or
// a test. The engine touches nothing else of its driver.
namespace dividra::core {

enum class Destination { Floppy, HardDrive };

// When written bytes are forced to the medium.
enum class FlushPolicy {
    Buffer,  // every buffer, before the next is read (the window's; always for diskettes)
    Segment, // every file once it is complete, and its folder after the last one
};

// Whether a floppy split pauses between its buffers, as on the "95" platform kind.
enum class DiskettePause { None, Win95 };

// What a split is asked to do: numbers and enums its front end gathered.
struct SplitRequest {
    Destination destination = Destination::HardDrive;
    bool floppyDriveAvailable = false; // false when the system has no diskette drive
    std::string floppyDrive;           // drive letter and colon, lower case: "a:"
    bool eraseDiskettes = false;
    char destinationDrive = 'c';   // lower case
    std::string destinationFolder; // full DOS path of the hard-drive destination folder
    std::int64_t segmentBytes = 0; // 0 or less: refused
    std::string segmentSizeShown;  // as the size list or the custom box shows it, for messages
    bool dosNames = false;         // segments carry the source's 8.3 alias
    std::string sourceLongPath;    // every component in its long form
    std::string sourceShortPath;   // 8.3 form; the long path when there is none
    std::string sourceExtension;   // of the long name, with its dot; empty when none
    std::int64_t sourceSize = 0;   // bytes
    std::int64_t segmentCount = 0; // the segment count as shown: above 999 is refused
    DiskettePause pause = DiskettePause::None;

    // Beyond the window's model (the terminal's): the hard-drive flush policy and sources of
    // 2 GB and more.
    FlushPolicy flush = FlushPolicy::Buffer;
    bool largeSources = false;
    // Also name.sha256 beside the descriptor: a SHA-256 line per segment and one for the source.
    bool checksums = false;
    // Also name.par2 and its recovery volumes beside the descriptor: any this
    // many segments may be lost or damaged and come back. 0: none.
    int recovery = 0;
};

// The outputs. Texts break lines with single "\n".
class SplitHost {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~SplitHost() = default;

    // Shown at once (repainted before the call returns).
    virtual void setStatusText(std::string_view text) = 0;
    // 0 to 20 parts, shown at once.
    virtual void setProgress(int parts) = 0;
    // On: hourglass cursor, Splitting set (input discarded), File and Help menus disabled.
    virtual void setBusy(bool busy) = 0;
    // Minimises the whole program.
    virtual void minimize() = 0;
    // Processes the window messages waiting now, then returns.
    virtual void processMessages() = 0;
    // Waits for at least one more message and processes it: for waits that may last long, such
    // as the flashing until the user brings the window to the front.
    virtual void waitForMessages() { processMessages(); }

    // The four message boxes; the results are IDOK, IDCANCEL, IDYES and IDNO of
    // util/MessageBoxes. The defaults go to its boxes and so to the installed provider.
    virtual int showInfoMessage(std::string_view text);
    virtual int askOkCancel(std::string_view text);
    virtual int showErrorMessage(std::string_view text);
    virtual int askYesNo(std::string_view text);

    // Starts playing a wave file and returns at once; a file that can't be played is silence.
    virtual void playSound(std::string_view path) = 0;
    // Whether the driver's window is the active one.
    virtual bool isActive() = 0;
    // Starts flashing the program's window until it becomes active.
    virtual void startFlashing() = 0;
    // Whether the flashing still goes on (it stops once the window is active).
    virtual bool isFlashing() = 0;

    // Asked after every buffer: whether the split must stop (a terminal's Ctrl-C). It then ends
    // as a failed split does, as Cancelled. A window's split runs to its end.
    virtual bool stopRequested() { return false; }
    // A remark on a file the split left alone ("Kept c:\out\data.sha256: ..."). A window,
    // whose messages are its own, shows none.
    virtual void note(std::string_view /*text*/) {}

    // The time the floppy split's pause is measured with.
    virtual Clock::time_point now() { return Clock::now(); }

protected:
    // Called by the four default boxes once the box is gone, before the split goes on: a window
    // repaints here what the box covered, since an erase or a copy may follow without a pass
    // through its event loop.
    virtual void messageBoxClosed() {}
};

} // namespace dividra::core
