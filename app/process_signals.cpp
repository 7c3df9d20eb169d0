#include "app/process_signals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "records/temporary_files.h"

namespace app {

namespace {

// Opens /dev/null on each of the descriptors 0, 1 and 2 that is closed. A new descriptor
// takes the lowest free number, so opening in order fills exactly the missing ones.
void openMissingStandardStreams()
{
    for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream) {
        if (::fcntl(stream, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int opened = ::open("/dev/null", O_RDWR);
        if (opened >= 0 && opened != stream) {
            ::dup2(opened, stream);
            ::close(opened);
        }
    }
}

} // namespace

void prepareProcess()
{
    openMissingStandardStreams();
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    records::temporary_files::installHandlers();
}

} // namespace app
