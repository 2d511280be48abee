#pragma once

#include <string>
#include <string_view>

namespace dividra::test {

// A fresh host folder under $TMPDIR (or /tmp), removed with everything in it on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    // path() + "/" + relative
    std::string file(std::string_view relative) const;
    // Creates the file with these bytes (and its folders); returns its host path.
    std::string write(std::string_view relative, std::string_view bytes) const;
    // The bytes of a file, or "<missing>" when it can't be read.
    static std::string read(const std::string& hostPath);

private:
    std::string m_path;
};

// Sets an environment variable for one scope and restores the previous value afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::string m_old;
    bool m_had = false;
};

} // namespace dividra::test
