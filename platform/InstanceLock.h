#pragma once

#include <QString>

// A lock on a file that one process at a time holds. The system lets go of it
// when the holder ends, however it ends, so nothing has to tell a crashed
// holder's lock from a live one, and taking it writes nothing to the disk.
class InstanceLock
{
public:
    enum class Result { Acquired, HeldElsewhere, Unavailable };

    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Unavailable: no lock can be made at path (no folder, no right to it).
    Result tryLock(const QString& path);
    bool isLocked() const { return m_handle != kNone; }

private:
    static constexpr qintptr kNone = -1;
    qintptr m_handle = kNone;
    QString m_path;
};
