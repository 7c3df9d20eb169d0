#pragma once

#include <csignal>
#include <string_view>

// The one deliberate process-wide table of the program: the temporary files of outputs
// being written (see OutputFile), so that a stop by a signal removes them before the
// program ends.
//
// Why process-wide: a signal handler gets no object to work on, and it may call only the
// few functions that are safe in a handler. The table is therefore a fixed array of folder
// descriptors and file names, filled and emptied with atomic marks, which the handler walks
// calling unlinkat() only. Everything else in the program keeps its state in objects.
//
// SIGTERM, SIGINT, SIGHUP and SIGQUIT get a handler when the first file is added, if nothing
// else handles them: it removes every listed file of this process, then ends the program as
// the signal would have (default action, raised again). A signal that is ignored (a program
// started with nohup) stays ignored. Files still listed when the program calls exit() are
// removed too. A file that is created and added, or renamed and taken out, inside a
// SignalBlock is never left behind by a signal that arrives in between.
namespace records::temporary_files {

// Lists the file `name` of the folder open on `folder` (a descriptor that stays open until
// the entry is taken out). Returns the entry number, or -1 when the table is full or the
// name longer than a host file name can be.
int add(int folder, std::string_view name);
// Takes entry `entry` out of the table (nothing for -1).
void remove(int entry);
// Installs the handlers and the removal at exit now rather than when the first file is
// added, for a program that calls it first thing: from then on a stop signal never finds
// the default action in place, whatever thread starts the first file.
void installHandlers();
// Removes every listed file of this process from the disk; safe in a signal handler.
void removeAllFiles() noexcept;
// How many entries are listed (for tests).
int count();

// Holds back SIGTERM, SIGINT, SIGHUP and SIGQUIT on the calling thread while it lives; a signal that
// arrives meanwhile is handled when it goes.
class SignalBlock {
public:
    SignalBlock();
    ~SignalBlock();
    SignalBlock(const SignalBlock&) = delete;
    SignalBlock& operator=(const SignalBlock&) = delete;

private:
    sigset_t m_previous;
};

// Holds back the same signals on the calling thread for good: for threads that only write
// bytes (WriteBehind), so that the signals reach a thread that keeps the table.
void blockOnThisThread();

} // namespace records::temporary_files
