#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace records {

// Writes one block of bytes at a time into a file on a thread of its own, while the caller
// goes on preparing the next block: the copy into the system's file cache, about a third
// of a long run, overlaps the work instead of holding it up.
//
// Blocks are written in the order they are handed over, and one at a time: a block is
// only handed over after the previous one has been waited for. The caller therefore keeps
// the order of the work: it learns whether a block reached the file before it hands over
// the next one or tells the operator anything. Nothing here shows messages; a block that
// could not be written completely is kept, so the caller can write it again in the
// foreground, through the file's own write (NewFile::write(), NewFile::writeLinesAt()), whose
// result tells the failure in its usual words.
//
// The thread never takes SIGTERM, SIGINT, SIGHUP or SIGQUIT: they reach a thread that keeps the
// table of temporary files in order (see temporary_files.h).
class WriteBehind {
public:
    WriteBehind() = default;
    // Waits for the block being written.
    ~WriteBehind();
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    // Hands `block` over to be written at byte `offset` of the file open on `descriptor`,
    // a descriptor of the block's own that is closed once the block is done. `block`
    // receives in exchange an empty buffer that keeps the capacity of an earlier block, so
    // that two buffers serve a whole file. The block handed over before must have been
    // waited for. With `startWriteback` the system is then asked to start writing the file
    // to the disk (see NewFile::startWriteback()), a request that may itself wait for the
    // disk. False, with `block` and `descriptor` untouched, when no thread can be started:
    // the caller then writes in the foreground.
    bool write(int descriptor, std::string& block, std::int64_t offset, bool startWriteback = false);
    // Waits until the block handed over last is done: true when all its bytes reached the
    // file (also when there was no block).
    bool wait();
    // The bytes of the block waited for last, whole also after a failure.
    std::string& lastBlock() { return m_block; }

private:
    void work();

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string m_block;
    int m_descriptor = -1;
    std::int64_t m_offset = 0;
    bool m_startWriteback = false;
    bool m_busy = false;    // a block was handed over and is not done yet
    bool m_written = true;  // the outcome of the last block
    bool m_closing = false;
};

} // namespace records
