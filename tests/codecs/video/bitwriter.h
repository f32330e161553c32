// Small MSB-first bit writer for hand-built test headers.
#pragma once
#include <stdint.h>

#include <vector>

class BitWriter {
public:
    void Put(uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) PutBit((value >> i) & 1);
    }
    void PutBit(int b) {
        if (n_ % 8 == 0) bytes_.push_back(0);
        if (b) bytes_.back() |= uint8_t(0x80 >> (n_ % 8));
        ++n_;
    }
    // MPEG-4 stuffing: a zero then ones up to the byte boundary.
    void Stuff() {
        PutBit(0);
        while (n_ % 8) PutBit(1);
    }
    void AlignZero() {
        while (n_ % 8) PutBit(0);
    }
    void StartCode(uint8_t code) {
        AlignZero();
        Put(0x000001, 24);
        Put(code, 8);
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    int n_ = 0;
};

struct VolOptions {
    int width = 176, height = 144;
    int timeRes = 30;
    int obmcDisable = 1;
    int warpPoints = -1;  // >= 0: verid 2 with sprite_enable 2 (GMC)
    int quantType = 0;
    std::vector<int> intraMatrix;  // loaded when not empty (0-terminated as given)
    std::vector<int> interMatrix;
};

// VOS, VO and a rectangular VOL with the given options.
inline void WriteVol(BitWriter* w, const VolOptions& o) {
    w->StartCode(0xB0);
    w->Put(1, 8);
    w->StartCode(0x00);
    w->StartCode(0x20);
    w->Put(0, 1);  // random_accessible_vol
    w->Put(1, 8);  // video_object_type_indication
    bool v2 = o.warpPoints >= 0;
    w->Put(v2 ? 1 : 0, 1);  // is_object_layer_identifier
    if (v2) {
        w->Put(2, 4);
        w->Put(1, 3);
    }
    w->Put(1, 4);  // aspect ratio 1:1
    w->Put(0, 1);  // vol_control_parameters
    w->Put(0, 2);  // rectangular
    w->Put(1, 1);  // marker
    w->Put(uint32_t(o.timeRes), 16);
    w->Put(1, 1);
    w->Put(0, 1);  // fixed_vop_rate
    w->Put(1, 1);
    w->Put(uint32_t(o.width), 13);
    w->Put(1, 1);
    w->Put(uint32_t(o.height), 13);
    w->Put(1, 1);
    w->Put(0, 1);  // interlaced
    w->Put(uint32_t(o.obmcDisable), 1);
    if (v2) {
        w->Put(2, 2);  // sprite_enable: GMC
        w->Put(uint32_t(o.warpPoints), 6);
        w->Put(0, 2);
        w->Put(0, 1);
    } else {
        w->Put(0, 1);
    }
    w->Put(0, 1);  // not_8_bit
    w->Put(uint32_t(o.quantType), 1);
    if (o.quantType) {
        for (const std::vector<int>* m : {&o.intraMatrix, &o.interMatrix}) {
            w->Put(m->empty() ? 0 : 1, 1);
            for (int v : *m) w->Put(uint32_t(v), 8);
        }
    }
    if (v2) w->Put(0, 1);  // quarter_sample
    w->Put(1, 1);          // complexity_estimation_disable
    w->Put(1, 1);          // resync_marker_disable
    w->Put(0, 1);          // data_partitioned
    if (v2) {
        w->Put(0, 1);  // newpred
        w->Put(0, 1);  // reduced resolution
    }
    w->Put(0, 1);  // scalability
    w->Stuff();
}

// A VOP header with vop_coded 0 (the picture repeats the reference).
inline void WriteNotCodedVop(BitWriter* w, int type, int moduloTimeBase, int increment,
                             int incrementBits) {
    w->StartCode(0xB6);
    w->Put(uint32_t(type), 2);
    for (int i = 0; i < moduloTimeBase; ++i) w->PutBit(1);
    w->PutBit(0);
    w->PutBit(1);
    w->Put(uint32_t(increment), incrementBits);
    w->PutBit(1);
    w->PutBit(0);  // vop_coded
    w->Stuff();
}
