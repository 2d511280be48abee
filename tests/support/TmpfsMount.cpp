#include "support/TmpfsMount.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/mount.h>
#include <utility>

namespace dividra::test {

TmpfsMount::TmpfsMount(std::string folder, std::string size)
    : m_folder(std::move(folder)), m_size(std::move(size)) {
    std::filesystem::create_directories(m_folder);
    remount();
}

TmpfsMount::~TmpfsMount() {
    unmount();
}

bool TmpfsMount::remount() {
    unmount();
    const std::string options = "size=" + m_size;
    m_mounted = ::mount("tmpfs", m_folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
    m_why = m_mounted ? std::string()
                      : "mount -t tmpfs refused here: " + std::string(std::strerror(errno));
    return m_mounted;
}

void TmpfsMount::unmount() {
    if (m_mounted) {
        ::umount2(m_folder.c_str(), MNT_DETACH);
        m_mounted = false;
    }
}

} // namespace dividra::test
