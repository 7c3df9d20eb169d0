#include "app/cli.h"

namespace app::cli {

int demoCommand(const std::vector<std::string>&, std::ostream&, std::ostream& err)
{
    err << "demo: non ancora disponibile\n";
    return 2;
}

} // namespace app::cli
