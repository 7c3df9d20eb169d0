#include "payroll/collaborator_record.h"

namespace payroll {

namespace {

constexpr FieldRun kCollaboratorRuns[] = {
    {1, 1, 16, 2}, {2, 2, 24, 18}, {3, 3, 20, 42}, {4, 4, 4, 62}, {5, 6, 2, 66}, {7, 7, 12, 70},
    {8, 8, 4, 82}, {9, 9, 3, 86}, {10, 11, 2, 89}, {12, 12, 4, 93}, {13, 14, 2, 97}, {15, 15, 4, 101},
    {16, 16, 2, 105}, {17, 17, 3, 107}, {18, 18, 12, 110}, {19, 19, 2, 122},
};

} // namespace

const FieldLayout& collaboratorLayout()
{
    static const FieldLayout layout("collaborator", kCollaboratorRecordLength, kCollaboratorRuns);
    return layout;
}

} // namespace payroll
