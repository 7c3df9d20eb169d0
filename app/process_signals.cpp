#include "app/process_signals.h"

#include <csignal>

#include "records/temporary_files.h"

namespace app {

void prepareSignals()
{
    std::signal(SIGXFSZ, SIG_IGN);
    records::temporary_files::installHandlers();
}

} // namespace app
