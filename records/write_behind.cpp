#include "records/write_behind.h"

#include <system_error>
#include <unistd.h>

#include "records/record_io.h"
#include "records/temporary_files.h"

namespace records {

WriteBehind::~WriteBehind()
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

bool WriteBehind::write(int descriptor, std::string& block, std::int64_t offset, bool startWriteback)
{
    if (!m_thread.joinable()) {
        try {
            m_thread = std::thread(&WriteBehind::work, this);
        } catch (const std::system_error&) {
            return false;
        }
    }
    {
        const std::lock_guard lock(m_mutex);
        m_block.swap(block);
        block.clear();
        m_descriptor = descriptor;
        m_offset = offset;
        m_startWriteback = startWriteback;
        m_busy = true;
    }
    m_changed.notify_all();
    return true;
}

bool WriteBehind::wait()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_busy; });
    return m_written;
}

void WriteBehind::work()
{
    temporary_files::blockOnThisThread();
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_busy || m_closing; });
        if (!m_busy)
            return;
        // The block belongs to this thread until it is marked done: the caller only touches
        // it after waiting.
        lock.unlock();
        const bool written = writeAllAt(m_descriptor, m_block, m_offset) == 0;
        if (written && m_startWriteback)
            startWritebackOf(m_descriptor);
        ::close(m_descriptor);
        lock.lock();
        m_descriptor = -1;
        m_written = written;
        m_busy = false;
        m_changed.notify_all();
    }
}

} // namespace records
