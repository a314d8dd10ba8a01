#pragma once
// The shared app model outlives every test in a process: a fixture starts from a model
// with no sheet, question or notice left open by the test before it.

#include "services/AppModel.h"

namespace testsupport {

inline void closeSheetAndAlerts(AppModel& model)
{
    model.setSheet(std::nullopt);
    model.setConfirm(std::nullopt);
    model.setMessage(std::nullopt);
}

} // namespace testsupport
