#pragma once

#include <string>

namespace dividra::test {

// A size-limited tmpfs on a folder for one scope: a diskette in its drive. Mounting needs the
// privilege to mount; tests skip when mounted() is false.
class TmpfsMount {
public:
    // Creates the folder and mounts a tmpfs of that size ("1440k") on it.
    explicit TmpfsMount(std::string folder, std::string size = "1440k");
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    bool mounted() const { return m_mounted; }
    // A fresh, empty file system in place of the one there (a diskette swap); false when the
    // mount was refused.
    bool remount();
    // Takes the file system away, leaving the bare folder (the diskette pulled out).
    void unmount();
    // Why the last mount failed.
    const std::string& why() const { return m_why; }

private:
    std::string m_folder;
    std::string m_size;
    bool m_mounted = false;
    std::string m_why;
};

} // namespace dividra::test
