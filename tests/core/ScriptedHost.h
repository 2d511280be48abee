#pragma once

#include "core/split/SplitCommand.h"
#include "core/split/SplitHost.h"
#include "settings/SplitOptions.h"
#include "support/TempDir.h"
#include "util/MessageBoxes.h"
#include "util/NumberText.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace dividra::core::test {

// A split host that records every output as one event text, in order, and answers message
// boxes from a script: "status Ready", "busy 1", "progress 20", "minimize", "messages",
// "sound c:\x.wav", "flash", "info Split complete!", "okcancel ...", "error ...", "yesno ...",
// "note Kept ...".
class ScriptedHost : public SplitHost {
public:
    SplitRequest inputs; // what the test's split is asked to do
    // Over the test's own settings file, as the programs read theirs.
    StoredSplitOptions options;
    std::vector<std::string> events;
    // Answers for okcancel and yesno boxes; when empty, the first button (IDOK, IDYES).
    std::deque<int> answers;
    // Runs when a box is shown, before it is answered (a test swaps diskettes here).
    std::function<void(const std::string& kind, const std::string& text)> onBox;
    // Runs on every processMessages call.
    std::function<void()> onMessages;
    bool active = true;
    int flashTicks = 0; // processMessages calls until a flashing window becomes active
    Clock::time_point clock{};
    std::chrono::milliseconds messageTime{0}; // how far each processMessages moves the clock

    void setStatusText(std::string_view text) override { log("status", text); }
    void setProgress(int parts) override { log("progress", IntToText(parts)); }
    void setBusy(bool busy) override { log("busy", busy ? "1" : "0"); }
    void minimize() override { events.emplace_back("minimize"); }
    void processMessages() override {
        ++messagesProcessed;
        clock += messageTime;
        if (m_flashing && --flashTicks <= 0) {
            m_flashing = false;
            active = true;
        }
        if (onMessages) {
            onMessages();
        }
    }
    int showInfoMessage(std::string_view text) override { return box("info", text, IDOK); }
    int askOkCancel(std::string_view text) override { return box("okcancel", text, IDOK); }
    int showErrorMessage(std::string_view text) override { return box("error", text, IDOK); }
    int askYesNo(std::string_view text) override { return box("yesno", text, IDYES); }
    void playSound(std::string_view path) override { log("sound", path); }
    bool isActive() override { return active; }
    void startFlashing() override {
        events.emplace_back("flash");
        m_flashing = true;
    }
    bool isFlashing() override { return m_flashing; }
    Clock::time_point now() override { return clock; }

    // The split of `inputs` as a front end runs it: the engine, then its end shown.
    SplitOutcome runSplit(platform::FileSystem& fs) {
        return EndSplit(*this, RunSplit(*this, fs, options, inputs));
    }
    // Asked after every buffer; stops the split when it answers true.
    std::function<bool()> stopWhen;
    bool stopRequested() override { return stopWhen && stopWhen(); }
    void note(std::string_view text) override { log("note", text); }

    int messagesProcessed = 0;

    // The events of one kind, without the kind ("okcancel" gives the prompt texts).
    std::vector<std::string> eventsOf(std::string_view kind) const {
        std::vector<std::string> found;
        const std::string prefix = std::string(kind) + " ";
        for (const auto& event : events) {
            if (event.starts_with(prefix)) {
                found.push_back(event.substr(prefix.size()));
            }
        }
        return found;
    }
    // Every box shown, as "kind text".
    std::vector<std::string> boxes() const {
        std::vector<std::string> found;
        for (const auto& event : events) {
            for (const char* kind : {"info ", "okcancel ", "error ", "yesno "}) {
                if (event.starts_with(kind)) {
                    found.push_back(event);
                }
            }
        }
        return found;
    }

private:
    void log(std::string_view kind, std::string_view text) {
        events.push_back(std::string(kind) + " " + std::string(text));
    }
    int box(const std::string& kind, std::string_view text, int firstButton) {
        log(kind, text);
        if (onBox) {
            onBox(kind, std::string(text));
        }
        if (kind == "info" || kind == "error" || answers.empty()) {
            return firstButton;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    bool m_flashing = false;
};

// The inputs of a floppy split of c:\data.zip onto the diskette drive a:.
inline SplitRequest FloppyInputs(std::size_t size) {
    SplitRequest in;
    in.destination = Destination::Floppy;
    in.floppyDriveAvailable = true;
    in.floppyDrive = "a:";
    in.sourceLongPath = in.sourceShortPath = "c:\\data.zip";
    in.sourceExtension = ".zip";
    in.sourceSize = static_cast<std::int64_t>(size);
    in.segmentCount = 1;
    return in;
}

// A test's own settings file, so the engine reads defaults unless the test writes values.
struct ProfileScope {
    dividra::test::TempDir dir;
    dividra::test::ScopedEnv env{"DIVIDRA_REGISTRY", dir.file("registry.reg")};
};

} // namespace dividra::core::test
