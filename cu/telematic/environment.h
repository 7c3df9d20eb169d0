#pragma once

#include <string>

namespace records {
class Channels;
class Launcher;
class Prompter;
struct Installation;
} // namespace records

namespace payroll {
struct CuFields;
} // namespace payroll

namespace cu::telematic {

// What the telematic writer works with, lent by whoever starts a run (the createl form): its
// record channels and CU field tables, the installation's paths, the operator, and the help
// text that the status bars show.
struct Environment {
    records::Channels& channels;
    records::Installation& installation;
    records::Prompter& prompter;
    records::Launcher& launcher;
    payroll::CuFields& cuFields;
    std::string& helpText;
};

} // namespace cu::telematic
