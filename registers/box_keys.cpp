#include "registers/box_keys.h"

namespace registers {

BoxKeyAction boxKeyAction(BoxKey key, int box, int boxCount)
{
    using Kind = BoxKeyAction::Kind;
    switch (key) {
    case BoxKey::Escape:
        return {Kind::Leave};
    case BoxKey::F9:
        return {Kind::Save};
    case BoxKey::Enter:
        return {Kind::MoveFocus, box >= boxCount ? 1 : box + 1};
    case BoxKey::Up:
        return {Kind::MoveFocus, box <= 1 ? 1 : box - 1};
    case BoxKey::Other:
        break;
    }
    return {};
}

} // namespace registers
