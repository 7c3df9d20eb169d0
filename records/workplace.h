#pragma once

namespace records {

class Launcher;
class PathMapper;
class Prompter;
struct Installation;

// What a program lends every form and every run it starts: where the installation lies on
// this computer, what its drive file and year file say (read by the first window that needs
// them and kept for the others), and the operator who answers the messages and questions
// and for whom programs are started. The program owns all four; a form keeps only these
// references. Record files are not lent: each form opens its own, so that one window
// closing its files never closes another's.
struct Workplace {
    const PathMapper& paths;
    Installation& installation;
    Prompter& prompter;
    Launcher& launcher;
};

} // namespace records
