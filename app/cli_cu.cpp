#include "app/cli.h"

namespace app::cli {

int cuCommand(const std::vector<std::string>&, std::ostream&, std::ostream& err)
{
    err << "cu: non ancora disponibile\n";
    return 2;
}

} // namespace app::cli
