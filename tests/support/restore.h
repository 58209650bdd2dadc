#pragma once

// Puts a value the test changes (a test seam of the program) back as it was when the scope ends,
// however the test leaves it: an early return from a failed ASSERT or QVERIFY included.
//
//   const Restore keep(ProfileLockTimeout());
//   ProfileLockTimeout() = std::chrono::milliseconds(200);

#include <utility>

template <typename T> class Restore
{
public:
    explicit Restore(T& value)
        : m_value(value)
        , m_saved(value)
    {
    }
    ~Restore() { m_value = std::move(m_saved); }
    Restore(const Restore&) = delete;
    Restore& operator=(const Restore&) = delete;

private:
    T& m_value;
    T m_saved;
};
