#pragma once
// The fixed photo the self-check stores: an 8 by 8 opaque PNG whose green rises by
// one eighth per column while red and blue stay at 0.2. Built anew on every call
// from the same pixels, so every call within a run gives the same bytes.

#include <QByteArray>

namespace OVSelfTest {

QByteArray testImageData();

} // namespace OVSelfTest
