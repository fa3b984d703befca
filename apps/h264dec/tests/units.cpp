// Unit checks of the decoder's own layers: Annex B splitting, emulation
// prevention removal, the header bit reader, MD5 and scaling-list fall-back.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bitstream.h"
#include "output.h"
#include "params.h"

namespace {

int failures = 0;
void expect(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "FAIL: %s\n", what);
        ++failures;
    }
}

std::string md5_of(const std::string& s) {
    h264dec::Md5 m;
    m.update(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    return m.hex();
}

}  // namespace

int main() {
    using namespace h264dec;
    // Start codes of 3 and 4 bytes, trailing zero bytes dropped, empty units skipped.
    {
        const uint8_t s[] = {0, 0, 0, 1, 0x67, 1, 2, 0, 0, 0, 1, 0x68, 3, 0, 0, 1, 0, 0, 1, 0x65, 0, 0};
        auto units = split_annexb(s, sizeof s);
        expect(units.size() == 3, "three NAL units");
        expect(units.size() == 3 && units[0].second == 3 && units[1].second == 2 && units[2].second == 1,
               "unit lengths without trailing zeros");
    }
    // Emulation prevention: 00 00 03 xx loses the 03; the stop bit ends the data.
    {
        const uint8_t p[] = {0x65, 0x00, 0x00, 0x03, 0x01, 0x00, 0x00, 0x03, 0x00, 0x80};
        NalUnit nal;
        expect(make_nal(p, sizeof p, nal), "make_nal");
        expect(nal.type == 5 && nal.refIdc == 3, "NAL header");
        expect(nal.words[0] == 0x00000100u && (nal.words[1] >> 24) == 0x00, "03 bytes removed");
        expect(nal.bits == 6 * 8, "data ends before the stop bit");
        const uint8_t forbidden[] = {0x80};
        expect(!make_nal(forbidden, 1, nal), "forbidden_zero_bit refused");
    }
    // Exp-Golomb: 1 -> 0, 010 -> 1, 011 -> 2, 00100 -> 3; se 010 -> +1, 011 -> -1;
    // reads across a word boundary; more_rbsp_data stops at the stop bit.
    {
        const uint8_t p[] = {0x01, 0xA6, 0x44, 0xC0, 0x00, 0x7F, 0xFF, 0xF0};
        NalUnit nal;
        make_nal(p, sizeof p, nal);
        BitReader br;
        br.init(nal);
        expect(br.ue() == 0 && br.ue() == 1 && br.ue() == 2 && br.ue() == 3, "ue(v)");
        expect(br.se() == 1 && br.se() == -1, "se(v)");
        expect(br.u(3) == 0 && br.u(20) == 0xFF, "u(n) across a word boundary");
        expect(br.more_rbsp_data(), "data before the stop bit");
        br.u(int(br.left()));
        expect(!br.more_rbsp_data() && !br.overrun(), "at the stop bit");
        for (int i = 0; i < 5000; ++i) br.u(32);  // far past the data: no read beyond the buffer
        expect(br.fail && br.overrun(), "overrun flagged");
    }
    // MD5 test vectors (RFC 1321).
    expect(md5_of("") == "d41d8cd98f00b204e9800998ecf8427e", "md5 of the empty string");
    expect(md5_of("abc") == "900150983cd24fb0d6963f7d28e17f72", "md5 of abc");
    expect(md5_of(std::string(1000, 'a')) == "cabe45dcc9ae5b66ba86600cca6b8ba8", "md5 of 1000 bytes");
    // Scaling lists: no lists anywhere is flat 16; a PPS without an SPS list uses
    // fall-back rule A (defaults), so an absent list 0 is Default_4x4_Intra.
    {
        Sps sps;
        Pps pps;
        resolve_scaling(sps, pps);
        bool flat = true;
        for (auto& l : pps.scaling.l4)
            for (uint8_t v : l) flat = flat && v == 16;
        expect(flat, "flat lists by default");
        pps.scalingPresent = true;
        std::memset(pps.rawPresent, 0, sizeof pps.rawPresent);
        resolve_scaling(sps, pps);
        expect(pps.scaling.l4[0][0] == 6 && pps.scaling.l4[0][15] == 42 && pps.scaling.l4[3][0] == 10 &&
                   pps.scaling.l8[1][63] == 35,
               "fall-back rule A gives the default lists");
    }
    std::printf("%s\n", failures ? "units: FAILED" : "units: all passed");
    return failures ? 1 : 0;
}
