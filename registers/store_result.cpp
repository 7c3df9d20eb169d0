#include "registers/store_result.h"

#include "records/prompter.h"

namespace registers {

StoreResult StoreResult::ofFile(const records::FileResult& failure)
{
    if (failure.error == 0)
        return {};
    return {Outcome::FileFailed, failure.error, failure.message, {}};
}

void showResult(records::Prompter& prompter, const StoreResult& result)
{
    // A failure without words (none that the record files report) has nothing to tell.
    if (result.message.empty())
        return;
    switch (result.outcome) {
    case StoreResult::Outcome::Done:
    case StoreResult::Outcome::ChangedOnDisk:
        break;
    case StoreResult::Outcome::FileFailed:
        prompter.message({}, result.message, records::Icon::None);
        break;
    case StoreResult::Outcome::FileMissing:
    case StoreResult::Outcome::NotReadWhole:
    case StoreResult::Outcome::InUse:
        prompter.message("Accesso", result.message, records::Icon::Stop);
        break;
    }
}

void showResults(records::Prompter& prompter, const std::vector<StoreResult>& results)
{
    for (const StoreResult& result : results)
        showResult(prompter, result);
}

} // namespace registers
