// A QMF matrix that owns its slots, for tests that drive the SBR kernels
// without a decoder: the slot pointers are laid by SbrBuildSlotTable over
// one contiguous block, and a copy points at its own slots.
#pragma once
#include <cstring>

#include "codecs/aac/sbr_qmf.h"

struct SbrTestMatrix : SbrQmfMatrix {
    SbrQmfSlot slots[kSbrMatrixSlots];

    SbrTestMatrix() {
        Lay();
        Clear();
    }
    SbrTestMatrix(const SbrTestMatrix& o) : SbrQmfMatrix() {
        Lay();
        memcpy(slots, o.slots, sizeof(slots));
    }
    SbrTestMatrix& operator=(const SbrTestMatrix& o) {
        memcpy(slots, o.slots, sizeof(slots));
        return *this;
    }
    void Clear() { memset(slots, 0, sizeof(slots)); }

private:
    void Lay() {
        SbrQmfSlot* frame = slots + kSbrOverlapSlots;
        SbrBuildSlotTable(slots, frame, frame + (kSbrFrameSlots + 1) / 2, re, im, kSbrOverlapSlots,
                          kSbrFrameSlots, 0);
    }
};

// Frame-local work slots for SbrDecoderSetup; decoders that run one after
// the other may share them.
inline SbrQmfSlot* SbrTestWork() {
    static SbrQmfSlot work[kSbrFrameSlots + 1];
    return work;
}
