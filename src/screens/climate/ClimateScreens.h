#pragma once
// The Climate screen and its two sheets, for the screen and editor factory.

#include "screens/climate/CSVImportSheet.h"
#include "screens/climate/ClimateView.h"
#include "screens/climate/ReadingEditor.h"
#include "store/OVStore.h"
