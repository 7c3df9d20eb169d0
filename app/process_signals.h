#pragma once

namespace app {

// What both programs settle about signals before anything else:
// - SIGTERM, SIGINT and SIGHUP remove the temporary files of the outputs being written
//   before the program ends, so that a stopped run leaves no half-written file;
// - SIGXFSZ is ignored: a file that outgrows the size limit of the process fails its write
//   with the channel's message (error 61, as on a full disk) and the run stops in order,
//   instead of the program being killed with its temporary file left behind.
void prepareSignals();

} // namespace app
