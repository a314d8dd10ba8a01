#pragma once
// The plant and seed screens and their editors, for the screen factory.

#include "screens/plants/GermTestEditor.h"
#include "screens/plants/PlantEditor.h"
#include "screens/plants/PlantsView.h"
#include "screens/plants/SeedEditor.h"
#include "screens/plants/SeedsView.h"
#include "store/OVStore.h"
