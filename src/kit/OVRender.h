#pragma once
// The process-wide render switch. Only the snapshot mode turns snapshotMode on: page
// scrollers then lay their content out at full height instead of scrolling it.

struct OVRender {
    static inline bool snapshotMode = false;
};
