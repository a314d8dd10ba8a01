#include "kit/OVColors.h"

#include "kit/QNMRThemes.h"

OVColors::OVColors() : t(QNMRThemes::current()) {}
