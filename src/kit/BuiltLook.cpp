#include "kit/BuiltLook.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"

BuiltLook BuiltLook::now()
{
    const OVColors colors;
    return BuiltLook{colors.text().rgba(), colors.dim().rgba(), colors.accent().rgba(), KitMetrics::zoom()};
}
