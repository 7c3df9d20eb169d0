#include "records/temporary_files.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <pthread.h>
#include <unistd.h>

namespace records::temporary_files {

namespace {

constexpr int kEntries = 32;
// SIGQUIT asks the program to end as SIGTERM does: it too must not leave a half-written file.
constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};

enum State : int { Free, Filling, Listed };

struct Entry {
    std::atomic<int> state{Free};
    pid_t owner = 0; // a child made by fork() inherits the table but not the files
    int folder = -1;
    char name[NAME_MAX + 1] = {};
};
static_assert(std::atomic<int>::is_always_lock_free, "the handler reads the marks without locks");

Entry g_entries[kEntries];
std::once_flag g_installed;

void onStopSignal(int signal)
{
    removeAllFiles();
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    ::sigaction(signal, &defaultAction, nullptr);
    // Held back while this handler runs; delivered with the default action when it returns.
    ::raise(signal);
}

void removeAtExit()
{
    removeAllFiles();
}

void installHandlersOnce()
{
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : kStopSignals)
        sigaddset(&action.sa_mask, signal);
    for (const int signal : kStopSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0)
            continue;
        // An ignored signal stays ignored; a handler of the program's own stays in place
        // (it can call removeAllFiles() itself).
        if ((current.sa_flags & SA_SIGINFO) == 0 && current.sa_handler == SIG_DFL)
            ::sigaction(signal, &action, nullptr);
    }
    std::atexit(removeAtExit);
}

void stopSignals(sigset_t& set)
{
    sigemptyset(&set);
    for (const int signal : kStopSignals)
        sigaddset(&set, signal);
}

} // namespace

int add(int folder, std::string_view name)
{
    if (name.empty() || name.size() > NAME_MAX)
        return -1;
    installHandlers();
    for (int i = 0; i < kEntries; ++i) {
        Entry& entry = g_entries[i];
        int expected = Free;
        if (!entry.state.compare_exchange_strong(expected, Filling))
            continue;
        entry.owner = ::getpid();
        entry.folder = folder;
        std::memcpy(entry.name, name.data(), name.size());
        entry.name[name.size()] = '\0';
        entry.state.store(Listed, std::memory_order_release);
        return i;
    }
    return -1;
}

void remove(int entry)
{
    if (entry < 0 || entry >= kEntries)
        return;
    Entry& slot = g_entries[entry];
    // Marked first, so that a handler never reads a name being overwritten.
    slot.state.store(Filling, std::memory_order_release);
    slot.folder = -1;
    slot.name[0] = '\0';
    slot.state.store(Free, std::memory_order_release);
}

void installHandlers()
{
    std::call_once(g_installed, installHandlersOnce);
}

void removeAllFiles() noexcept
{
    const int savedErrno = errno;
    const pid_t self = ::getpid();
    for (Entry& entry : g_entries) {
        if (entry.state.load(std::memory_order_acquire) == Listed && entry.owner == self)
            ::unlinkat(entry.folder, entry.name, 0);
    }
    errno = savedErrno;
}

int count()
{
    int listed = 0;
    for (const Entry& entry : g_entries)
        listed += entry.state.load(std::memory_order_acquire) == Listed ? 1 : 0;
    return listed;
}

SignalBlock::SignalBlock()
{
    sigset_t set;
    stopSignals(set);
    ::pthread_sigmask(SIG_BLOCK, &set, &m_previous);
}

SignalBlock::~SignalBlock()
{
    ::pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
}

void blockOnThisThread()
{
    sigset_t set;
    stopSignals(set);
    ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

} // namespace records::temporary_files
