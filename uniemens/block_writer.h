#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace uniemens {

// Writes blocks of lines into the XML file on a thread of its own, in the order they are
// handed over, while the caller makes the next ones: copying the lines into the system's
// file cache then overlaps making them instead of holding it up. A few blocks may wait
// their turn, so that the caller seldom waits for the thread, and their buffers serve the
// whole file again and again: memory does not grow with the file.
//
// Nothing here shows anything. A block that could not be written is kept, with every block
// handed over after it (none of them is written once one failed), so that the caller writes
// them again in the foreground through the file's own write, whose result tells the failure
// in its usual words.
//
// The thread never takes SIGTERM, SIGINT, SIGHUP or SIGQUIT: they reach a thread that keeps
// the table of temporary files in order.
class BlockWriter {
public:
    // Lines to write, with where they go.
    struct Block {
        std::unique_ptr<char[]> bytes; // not cleared: only the first `size` bytes count
        std::size_t capacity = 0;
        std::size_t size = 0;
        std::int64_t offset = 0;    // where the block goes in the file
        std::int64_t lastLine = 0;  // the number of its last line, which a failure names
        bool startWriteback = false; // the system is then asked to start writing the file to the disk
        int descriptor = -1;        // the block's own descriptor of the file, closed once it is done
    };

    BlockWriter() = default;
    // Drops the blocks not yet written and waits for the one being written.
    ~BlockWriter();
    BlockWriter(const BlockWriter&) = delete;
    BlockWriter& operator=(const BlockWriter&) = delete;

    // An empty block of at least `capacity` bytes: one already written, or a new one while
    // fewer than a few exist. Waits while they are all on their way.
    Block take(std::size_t capacity);
    // Hands `block` over to be written. False, with `block` untouched, when no thread can be
    // started: the caller then writes it in the foreground.
    bool write(Block& block);
    // True once a block could not be written (without waiting).
    bool failed();
    // Waits until every block handed over is written, or until one failed: returns, in
    // order, the block that failed and the blocks handed over after it, none of them
    // written, with their descriptors closed; nothing when all reached the file.
    std::vector<Block> wait();
    // Gives a block back after the caller has written it in the foreground.
    void giveBack(Block block);
    // Forgets the blocks not yet written and waits for the one being written: the file was
    // abandoned.
    void drop();

private:
    void work();
    static void closeDescriptor(Block& block);

    static constexpr int kMostBlocks = 4;

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Block> m_waiting; // handed over, in order (a few at most)
    std::vector<Block> m_free;    // written, to be taken again
    std::vector<Block> m_failed;  // the block that failed
    int m_blocks = 0;             // blocks made so far
    bool m_busy = false;          // the thread is writing a block
    bool m_closing = false;
};

} // namespace uniemens
