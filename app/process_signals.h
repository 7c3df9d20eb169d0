#pragma once

namespace app {

// What both programs settle first thing in main, before any file is opened:
// - the standard streams 0, 1 and 2 that the program was started without (a service
//   manager, a cron job, "2>&-") are opened on /dev/null: otherwise the next file opened
//   would take the number of the missing stream, and the messages meant for the terminal
//   would be written into that file (the drive file, the year file, an XML declaration);
// - SIGPIPE is ignored: a message or a path written to a pipe whose reader has gone is a
//   failed write of that stream, and the run goes on to complete or remove its own files;
// - SIGTERM, SIGINT, SIGHUP and SIGQUIT remove the temporary files of the outputs being
//   written before the program ends by the signal, so that a stopped run leaves no
//   half-written file;
// - SIGXFSZ is ignored: a file that outgrows the size limit of the process fails its write
//   with the message of a failed write (error 61, as on a full disk) and the run stops in order,
//   instead of the program being killed with its temporary file left behind.
void prepareProcess();

} // namespace app
