#include "uniemens/block_writer.h"

#include <unistd.h>

#include <string_view>
#include <system_error>

#include "records/record_io.h"
#include "records/temporary_files.h"

namespace uniemens {

BlockWriter::~BlockWriter()
{
    if (!m_thread.joinable())
        return;
    drop();
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void BlockWriter::closeDescriptor(Block& block)
{
    if (block.descriptor >= 0)
        ::close(block.descriptor);
    block.descriptor = -1;
}

BlockWriter::Block BlockWriter::take(std::size_t capacity)
{
    Block block;
    {
        std::unique_lock lock(m_mutex);
        // After a failure no block comes back until the caller has seen it: a new one is made.
        m_changed.wait(lock, [&] { return !m_free.empty() || m_blocks < kMostBlocks || !m_failed.empty(); });
        if (!m_free.empty()) {
            block = std::move(m_free.back());
            m_free.pop_back();
        } else {
            ++m_blocks;
            // Room for every block in each list: the thread then takes and puts back blocks
            // without allocating or freeing.
            const auto blocks = static_cast<std::size_t>(m_blocks);
            m_waiting.reserve(blocks);
            m_free.reserve(blocks);
            m_failed.reserve(blocks);
        }
    }
    if (block.capacity < capacity) {
        block.bytes.reset(new char[capacity]);
        block.capacity = capacity;
    }
    block.size = 0;
    return block;
}

bool BlockWriter::write(Block& block)
{
    if (!m_thread.joinable()) {
        try {
            m_thread = std::thread(&BlockWriter::work, this);
        } catch (const std::system_error&) {
            return false;
        }
    }
    {
        const std::lock_guard lock(m_mutex);
        m_waiting.push_back(std::move(block));
    }
    m_changed.notify_all();
    block = Block{};
    return true;
}

bool BlockWriter::failed()
{
    const std::lock_guard lock(m_mutex);
    return !m_failed.empty();
}

std::vector<BlockWriter::Block> BlockWriter::wait()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return !m_busy && (m_waiting.empty() || !m_failed.empty()); });
    std::vector<Block> unwritten = std::move(m_failed);
    m_failed.clear();
    for (Block& block : m_waiting)
        unwritten.push_back(std::move(block));
    m_waiting.clear();
    for (Block& block : unwritten)
        closeDescriptor(block);
    return unwritten;
}

void BlockWriter::giveBack(Block block)
{
    {
        const std::lock_guard lock(m_mutex);
        m_free.push_back(std::move(block));
    }
    m_changed.notify_all();
}

void BlockWriter::drop()
{
    std::unique_lock lock(m_mutex);
    for (Block& block : m_waiting) {
        closeDescriptor(block);
        m_free.push_back(std::move(block));
    }
    m_waiting.clear();
    m_changed.wait(lock, [&] { return !m_busy; });
    for (Block& block : m_failed)
        m_free.push_back(std::move(block));
    m_failed.clear();
    lock.unlock();
    m_changed.notify_all();
}

void BlockWriter::work()
{
    records::temporary_files::blockOnThisThread();
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [&] { return m_closing || (!m_waiting.empty() && m_failed.empty()); });
        if (m_closing)
            return;
        Block block = std::move(m_waiting.front());
        m_waiting.erase(m_waiting.begin());
        m_busy = true;
        // The block belongs to this thread until it is put back under the lock.
        lock.unlock();
        const bool written
            = records::writeAllAt(block.descriptor, std::string_view(block.bytes.get(), block.size), block.offset) == 0;
        if (written && block.startWriteback)
            records::startWritebackOf(block.descriptor);
        closeDescriptor(block);
        lock.lock();
        m_busy = false;
        if (written)
            m_free.push_back(std::move(block));
        else
            m_failed.push_back(std::move(block));
        m_changed.notify_all();
    }
}

} // namespace uniemens
