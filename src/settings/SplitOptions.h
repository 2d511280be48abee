#pragma once

#include <optional>
#include <string>

// The options a split reads at the moment it needs them. The engine sees only this interface,
// so it reads no settings itself: the programs hand it StoredSplitOptions, tests their own.
namespace dividra {

class SplitOptions {
public:
    virtual ~SplitOptions() = default;
    // "Minimize While Splitting" of the floppy or the hard-drive options.
    virtual bool minimizeWhileSplitting(bool toFloppy) const = 0;
    // The sound before each diskette prompt; nothing while "Next Diskette Play Sound" is off.
    virtual std::optional<std::string> nextDisketteSound() const = 0;
    // Whether to flash the window in the background before each diskette prompt.
    virtual bool flashForNextDiskette() const = 0;
    // The sound at the end of a split; nothing while "Split Finished Play Sound" is off.
    virtual std::optional<std::string> splitFinishedSound() const = 0;
    // Whether "Split complete!" is shown at the end.
    virtual bool showSplitFinished() const = 0;
};

// Over the settings store, by the typed options' rules: each answer read when asked, a value on
// only when exactly 1, as the options dialog writes it.
class StoredSplitOptions final : public SplitOptions {
public:
    bool minimizeWhileSplitting(bool toFloppy) const override;
    std::optional<std::string> nextDisketteSound() const override;
    bool flashForNextDiskette() const override;
    std::optional<std::string> splitFinishedSound() const override;
    bool showSplitFinished() const override;
};

} // namespace dividra
