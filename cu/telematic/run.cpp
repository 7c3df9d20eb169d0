#include "cu/telematic/run.h"

namespace cu::telematic {

RunResult run(Environment&, const RunInputs&)
{
    // The writer is not built yet: pressing "FASE 3" does nothing.
    return {};
}

} // namespace cu::telematic
