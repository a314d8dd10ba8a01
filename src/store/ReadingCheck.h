#pragma once
// The checks a climate reading must pass before it is stored, apart from how its
// zone is looked up: a single save asks the store, the bulk import asks a lookup it
// keeps for the length of its transaction (no zone can change inside it).

#include "records/Reading.h"

#include <QtGlobal>
#include <functional>

namespace ReadingCheck {

// Throws OVError::invalid with the sentence the user sees: no such zone, no values,
// or a value outside its metric's possible range (named as the user would see it).
void validate(const Reading& reading, const std::function<bool(qint64)>& zoneExists);

} // namespace ReadingCheck
