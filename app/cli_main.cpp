#include <iostream>
#include <string>
#include <vector>

#include "app/cli.h"
#include "app/process_signals.h"

int main(int argc, char** argv)
{
    app::prepareProcess();
    const std::vector<std::string> arguments(argv, argv + argc);
    return app::cli::main(arguments, std::cout, std::cerr);
}
