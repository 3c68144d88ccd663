#pragma once

namespace vexa::test {

// While it lives, the calling thread (and threads it starts meanwhile) obeys file
// permission bits even when the tests run as root, so that "this folder is not writable"
// can be tested in a container. For an ordinary user it does nothing.
class ObeyFilePermissions {
public:
    ObeyFilePermissions();
    ~ObeyFilePermissions();
    ObeyFilePermissions(const ObeyFilePermissions&) = delete;
    ObeyFilePermissions& operator=(const ObeyFilePermissions&) = delete;

private:
    unsigned m_savedEffective = 0;
    bool m_lowered = false;
};

} // namespace vexa::test
