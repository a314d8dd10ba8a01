#pragma once
// The thirteen stored record types and the record concept in one include, for the
// store's declarations and for callers that work with several record types.

#include "records/GermTest.h"
#include "records/Greenhouse.h"
#include "records/Harvest.h"
#include "records/LedgerEntry.h"
#include "records/OVTask.h"
#include "records/PestRecord.h"
#include "records/Photo.h"
#include "records/Plant.h"
#include "records/Reading.h"
#include "records/Seed.h"
#include "records/Spot.h"
#include "records/TaskLog.h"
#include "records/Zone.h"
#include "store/OVRecord.h"
