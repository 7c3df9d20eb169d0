#include <iostream>
#include <string>
#include <vector>

#include "app/cli.h"

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv, argv + argc);
    return app::cli::main(arguments, std::cout, std::cerr);
}
