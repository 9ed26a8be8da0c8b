// Bare libjpeg-turbo with the adapter's settings (float IDCT, BGR out, 4-byte padded rows),
// the peer the JPEG adapter is measured against.
#pragma once

#include <cstdio>  // jpeglib.h needs FILE
#include <cstdint>
#include <memory>
#include <vector>

#include <jpeglib.h>

namespace bench {

class BareJpeg {
public:
    BareJpeg() {
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_decompress(&cinfo);
    }
    ~BareJpeg() { jpeg_destroy_decompress(&cinfo); }
    BareJpeg(const BareJpeg&) = delete;
    BareJpeg& operator=(const BareJpeg&) = delete;

    // Decodes into one buffer kept from picture to picture (`keep`), or into a new one
    // for every picture as a decoder that hands its pictures out must.
    void decode(const std::vector<uint8_t>& bytes, bool keep = true) {
        jpeg_mem_src(&cinfo, bytes.data(), bytes.size());
        jpeg_read_header(&cinfo, TRUE);
        cinfo.dct_method = JDCT_FLOAT;
        cinfo.out_color_space = JCS_EXT_BGR;
        jpeg_start_decompress(&cinfo);
        const size_t rowBytes = 3 * size_t(cinfo.output_width) + cinfo.output_width % 4;
        const size_t need = rowBytes * cinfo.output_height;
        if (!keep || need > capacity) {
            buffer.reset(new uint8_t[need]);
            capacity = need;
        }
        rows.resize(cinfo.output_height);
        for (size_t y = 0; y < rows.size(); ++y) rows[y] = buffer.get() + y * rowBytes;
        while (cinfo.output_scanline < cinfo.output_height) {
            jpeg_read_scanlines(&cinfo, &rows[cinfo.output_scanline], cinfo.output_height - cinfo.output_scanline);
        }
        jpeg_finish_decompress(&cinfo);
        if (!keep) {
            buffer.reset();
            capacity = 0;
        }
    }

private:
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    std::unique_ptr<uint8_t[]> buffer;
    size_t capacity = 0;
    std::vector<JSAMPROW> rows;
};

}  // namespace bench
