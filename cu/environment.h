#pragma once

#include <string>

namespace records {
class Channels;
class Launcher;
class Prompter;
struct Installation;
} // namespace records

namespace cu {

struct CuFields;

// The shared values and operator adapters that the createl window and its telematic writer
// work with. The program owns them (one set for its whole run); this only lends them.
struct Environment {
    records::Channels& channels;
    records::Installation& installation;
    records::Prompter& prompter;
    records::Launcher& launcher;
    CuFields& cuFields;
    std::string& helpText; // the text that the status bars show
};

} // namespace cu
