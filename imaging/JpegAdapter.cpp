// The JPEG adapter: one shared libjpeg decompressor, a source that reads the picture
// from memory, and the loop that turns scanlines into a 24-bit top-down DIB, or into the
// window's pixels when the picture is drawn in place.
//
// libjpeg reports errors through a callback that must not return. It leaves the library
// by longjmp to the one guarded() boundary below; the adapter throws only after
// guarded() has returned, so no exception ever unwinds through the library's C frames.
#include <algorithm>
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

#include "foundation/lang/L.h"
#include "imaging/DecodeBudget.h"
#include "imaging/DecodePauses.h"
#include "imaging/DrawInPlace.h"
#include "imaging/ImageInfo.h"
#include "imaging/PixelBlockPool.h"

namespace img_lib {

using torvik_lang::L;
using torvik_lang::_S;

// The error exit of the shared decompressor; never returns.
void formatErrorExit(j_common_ptr cinfo);

namespace {

constexpr char kFormatError[] = "JPEG format error";

// A progressive picture has about ten scans; thousands of empty ones only burn time.
constexpr int kMaxJpegScans = 500;
// Each scan walks the blocks of its components. Common progressive scripts visit every
// block four to six times in all; a picture that asks for far more is cut off before the
// scan that would pass this many visits per block.
constexpr uint64_t kMaxScanPasses = 32;
// A whole picture is read in one pass; a picture cut short is handed over once more,
// where it meets its own start marker. A segment that spans the end and the start
// again could otherwise go round for ever.
constexpr uint32_t kMaxPicturePasses = 2;
// Rows handed to the library per read; it fills as many as it has ready. Reads of 16
// rows measured about 2 % slower than bare libjpeg handed every row at once; 64 keep
// the row table on the stack small and match it.
constexpr int kRowsPerRead = 64;

// The library sees only `pub`; the rest is ours.
struct MemorySource {
    jpeg_source_mgr pub;
    const JOCTET* data;
    boolean startOfFile;
    uint32_t length;
    uint32_t passes;  // how often the picture has been handed over
};

// What the adapter and its guarded steps hand each other. Plain data only: the error
// exit may cut a step short anywhere.
struct DecodeJob {
    const JOCTET* data;
    uint32_t length;
    int headerResult;
    bool started;
    uint8_t* pixels;
    uint32_t rowBytes;
    bool fourBytes;  // rows of B, G, R, X (drawn in place) rather than B, G, R
    // The scale of the decode, 1/reduction, and the size of the rows it gives.
    unsigned reduction;
    uint32_t width;
    uint32_t height;
};

struct SharedDecompressor {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    jpeg_progress_mgr progress;
    std::jmp_buf escape;
    bool ready;
    // The scan work of the picture in progress: block visits so far and allowed, the
    // last scan counted, and whether the monitor cut the picture off.
    uint64_t blockVisits;
    uint64_t blockVisitLimit;
    int countedScan;
    bool tooMuchWork;
    // The pause asked for the picture to be given up.
    bool cancelled;
    // A picture is in progress; a pause must not start another on the same structures.
    bool inUse;
};

// Set up on the first picture and kept for the life of the process.
SharedDecompressor shared;

// The boundary: the error exit jumps back here, past the library's frames and the
// steps' trivially destructible locals, and the caller throws once this has returned.
bool guarded(void (*step)(DecodeJob&), DecodeJob& job) {
    if (setjmp(shared.escape) != 0) return false;
    step(job);
    return true;
}

// ---- The memory source -----------------------------------------------------------

void initSource(j_decompress_ptr cinfo) {
    auto* src = reinterpret_cast<MemorySource*>(cinfo->src);
    src->startOfFile = TRUE;
    src->passes = 0;
}

// Every call hands over the whole picture again: a picture cut short meets its own
// start marker, which ends the decode with an error instead of an endless read.
boolean fillInputBuffer(j_decompress_ptr cinfo) {
    auto* src = reinterpret_cast<MemorySource*>(cinfo->src);
    // Nothing to hand over would make the library read from an empty buffer.
    if (src->length == 0) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    if (++src->passes > kMaxPicturePasses) ERREXIT(cinfo, JERR_INPUT_EOF);
    src->pub.next_input_byte = src->data;
    src->pub.bytes_in_buffer = src->length;
    src->startOfFile = FALSE;
    return TRUE;
}

void skipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* src = cinfo->src;
    size_t n = static_cast<size_t>(count) < src->bytes_in_buffer ? static_cast<size_t>(count)
                                                                 : src->bytes_in_buffer;
    src->next_input_byte += n;
    src->bytes_in_buffer -= n;
}

void termSource(j_decompress_ptr) {}

void installMemorySource(j_decompress_ptr cinfo, const JOCTET* data, uint32_t length) {
    if (!cinfo->src) {
        cinfo->src = static_cast<jpeg_source_mgr*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(MemorySource)));
    }
    auto* src = reinterpret_cast<MemorySource*>(cinfo->src);
    src->data = data;
    src->length = length;
    src->passes = 0;
    src->pub.init_source = initSource;
    src->pub.fill_input_buffer = fillInputBuffer;
    src->pub.skip_input_data = skipInputData;
    src->pub.resync_to_restart = jpeg_resync_to_restart;
    src->pub.term_source = termSource;
    src->pub.bytes_in_buffer = 0;
    src->pub.next_input_byte = nullptr;
}

// ---- The error manager --------------------------------------------------------------

// Warnings are counted and otherwise dropped: a windowed program has nowhere to show them.
void emitQuietly(j_common_ptr cinfo, int level) {
    if (level < 0) cinfo->err->num_warnings++;
}

void outputNothing(j_common_ptr) {}

// Called before every step of input and output: lets a pause answer the user, and
// counts each new scan's blocks before its work.
void limitScans(j_common_ptr common) {
    if (!common->is_decompressor) return;
    if (!DecodePauseScope::mayGoOn()) {
        shared.cancelled = true;
        (*common->err->error_exit)(common);
    }
    auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
    if (cinfo->input_scan_number == shared.countedScan) return;
    shared.countedScan = cinfo->input_scan_number;
    for (int i = 0; i < cinfo->comps_in_scan && i < MAX_COMPS_IN_SCAN; ++i) {
        const jpeg_component_info* comp = cinfo->cur_comp_info[i];
        if (comp) shared.blockVisits += uint64_t(comp->width_in_blocks) * comp->height_in_blocks;
    }
    if (cinfo->input_scan_number > kMaxJpegScans || shared.blockVisits > shared.blockVisitLimit) {
        shared.tooMuchWork = true;
        (*common->err->error_exit)(common);
    }
}

// What a picture will cost, from its header: the blocks of all its components and the
// bytes the library allocates for it.
struct JpegCost {
    uint64_t blocks = 0;
    uint64_t libraryBytes = 0;
};

JpegCost estimateCost(const jpeg_decompress_struct& cinfo) {
    JpegCost cost;
    int maxH = 1, maxV = 1;
    for (int i = 0; i < cinfo.num_components; ++i) {
        maxH = std::max(maxH, cinfo.comp_info[i].h_samp_factor);
        maxV = std::max(maxV, cinfo.comp_info[i].v_samp_factor);
    }
    uint64_t paddedBlocks = 0;
    for (int i = 0; i < cinfo.num_components; ++i) {
        const uint64_t h = std::max(1, cinfo.comp_info[i].h_samp_factor);
        const uint64_t v = std::max(1, cinfo.comp_info[i].v_samp_factor);
        const uint64_t wide = (uint64_t(cinfo.image_width) * h + 8 * maxH - 1) / (8 * maxH);
        const uint64_t high = (uint64_t(cinfo.image_height) * v + 8 * maxV - 1) / (8 * maxV);
        cost.blocks += wide * high;
        // The library keeps whole MCU columns and rows of coefficients.
        paddedBlocks += (wide + h - 1) / h * h * ((high + v - 1) / v * v);
    }
    // A picture in several scans keeps every coefficient until its last scan: 64 of
    // two bytes each per block.
    const bool multiScan = cinfo.progressive_mode || cinfo.comps_in_scan < cinfo.num_components;
    if (multiScan) cost.libraryBytes += paddedBlocks * 128;
    // Sample rows for upsampling and colour conversion, a few MCU rows of each component.
    cost.libraryBytes += (uint64_t(cinfo.image_width) + 64) * uint64_t(cinfo.num_components) * 32 * maxV;
    return cost;
}

// ---- The guarded steps -------------------------------------------------------------------

void setUpStep(DecodeJob&) {
    jpeg_std_error(&shared.err);
    shared.err.error_exit = formatErrorExit;
    shared.err.emit_message = emitQuietly;
    shared.err.output_message = outputNothing;
    shared.cinfo.err = &shared.err;
    jpeg_create_decompress(&shared.cinfo);
    shared.progress.progress_monitor = limitScans;
    shared.cinfo.progress = &shared.progress;
}

void abortStep(DecodeJob&) { jpeg_abort_decompress(&shared.cinfo); }

void readHeaderStep(DecodeJob& job) {
    installMemorySource(&shared.cinfo, job.data, job.length);
    job.headerResult = jpeg_read_header(&shared.cinfo, TRUE);
}

bool isCmyk(const jpeg_decompress_struct& cinfo) {
    return cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
}

// The row's start. A record's row has its padding (up to 3 bytes after 3 * width) zeroed
// here, just before the library writes the row, so that no pass over the rows is needed
// afterwards; a window's rows are the window's.
inline uint8_t* paddedRow(const DecodeJob& job, JDIMENSION y) {
    uint8_t* const row = job.pixels + size_t(y) * job.rowBytes;
    if (job.fourBytes) return row;
    uint8_t* const pad = row + 3 * size_t(job.width);
    switch (job.rowBytes - 3 * job.width) {
        case 3: pad[2] = 0; [[fallthrough]];
        case 2: pad[1] = 0; [[fallthrough]];
        case 1: pad[0] = 0; [[fallthrough]];
        default: break;
    }
    return row;
}

void readBgrRows(j_decompress_ptr cinfo, DecodeJob& job) {
    JSAMPROW rows[kRowsPerRead];
    while (cinfo->output_scanline < cinfo->output_height) {
        const JDIMENSION first = cinfo->output_scanline;
        const JDIMENSION count = std::min<JDIMENSION>(cinfo->output_height - first, kRowsPerRead);
        for (JDIMENSION i = 0; i < count; ++i) rows[i] = paddedRow(job, first + i);
        // The library gives a row group or so per call; the table serves until it is used
        // up, not filled anew for every call.
        while (cinfo->output_scanline < first + count) {
            const JDIMENSION done = cinfo->output_scanline - first;
            if (jpeg_read_scanlines(cinfo, rows + done, count - done) == 0) ERREXIT(cinfo, JERR_CANT_SUSPEND);
        }
    }
}

// Adobe writes CMYK inverted (255 is no ink); either way, each channel is what the
// paper keeps of it times what the black keeps.
void cmykToBgr(const JSAMPLE* in, uint8_t* out, JDIMENSION width, bool inverted) {
    unsigned flip = inverted ? 0 : 255;
    for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 3) {
        unsigned c = in[0] ^ flip, m = in[1] ^ flip, y = in[2] ^ flip, k = in[3] ^ flip;
        out[0] = static_cast<uint8_t>((y * k + 127) / 255);
        out[1] = static_cast<uint8_t>((m * k + 127) / 255);
        out[2] = static_cast<uint8_t>((c * k + 127) / 255);
    }
}

void readCmykRows(j_decompress_ptr cinfo, DecodeJob& job) {
    // One scanline of four bytes a pixel is longer than a DIB row: it is read aside.
    JSAMPARRAY line = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                  cinfo->output_width * 4, 1);
    bool inverted = cinfo->saw_Adobe_marker;
    while (cinfo->output_scanline < cinfo->output_height) {
        uint8_t* row = paddedRow(job, cinfo->output_scanline);
        if (jpeg_read_scanlines(cinfo, line, 1) == 0) ERREXIT(cinfo, JERR_CANT_SUSPEND);
        cmykToBgr(line[0], row, cinfo->output_width, inverted);
    }
}

void decodeStep(DecodeJob& job) {
    j_decompress_ptr cinfo = &shared.cinfo;
    bool cmyk = isCmyk(*cinfo);
    cinfo->dct_method = JDCT_FLOAT;
    // Grey and colour pictures come out as the DIB's blue, green, red; the library has
    // no conversion from CMYK to RGB, so that is done row by row. Its colour conversion
    // writes the padded pixels of a window as cheaply as packed ones, with the same bytes.
    cinfo->out_color_space = cmyk ? JCS_CMYK : job.fourBytes ? JCS_EXT_BGRX : JCS_EXT_BGR;
    cinfo->scale_num = 1;
    cinfo->scale_denom = job.reduction;
    // A reduced picture is a preview's: its colours are spread by plain replication.
    cinfo->do_fancy_upsampling = job.reduction > 1 ? FALSE : TRUE;
    if (!jpeg_start_decompress(cinfo)) return;
    job.started = true;
    // The buffer was sized from the header; anything else would write past it.
    if (cinfo->output_width != job.width || cinfo->output_height != job.height ||
        cinfo->output_components != (cmyk || job.fourBytes ? 4 : 3)) {
        ERREXIT(cinfo, JERR_BAD_STATE);
    }
    if (cmyk) {
        readCmykRows(cinfo, job);
    } else {
        readBgrRows(cinfo, job);
    }
    jpeg_finish_decompress(cinfo);
}

// Marks the shared decompressor taken while a picture is in progress.
class InUse {
public:
    InUse() {
        // Only a decode started from inside another's pause could find it taken.
        if (shared.inUse) throw ImageException("JPEG decoder busy");
        shared.inUse = true;
    }
    ~InUse() { shared.inUse = false; }
};

// Tells the placer how a decode that went to the window ended: a failure that leaves the
// adapter in any way after the rows were offered must not let them be seen.
class PlacedOutcome {
public:
    ~PlacedOutcome() {
        if (placer) placer->placed(complete);
    }
    PicturePlacer* placer = nullptr;
    bool complete = false;
};

// Brings the shared decompressor back to its idle state when a picture ends in any
// way other than a finished decode, so that the next header is accepted.
class IdleOnExit {
public:
    ~IdleOnExit() {
        if (!finished) {
            DecodeJob none{};
            guarded(abortStep, none);
        }
    }
    bool finished = false;
};

}  // namespace

void formatErrorExit(j_common_ptr) { std::longjmp(shared.escape, 1); }

_Ref<_ImageInfo> loadJpeg(void const* data, int size, const _Ref<_String>& name) {
    char const* text = name->c_str();
    DecodeJob job{};
    job.data = static_cast<const JOCTET*>(data);
    job.length = data && size > 0 ? static_cast<uint32_t>(size) : 0;

    if (!shared.ready) {
        if (!guarded(setUpStep, job)) throw ImageException(kFormatError);
        shared.ready = true;
    }
    InUse inUse;
    IdleOnExit idle;
    shared.cancelled = false;
    if (!guarded(readHeaderStep, job)) {
        if (shared.cancelled) throw DecodeCancelled();
        throw ImageException(kFormatError);
    }
    if (job.headerResult != JPEG_HEADER_OK) {
        throw JpegImageException(L::sprintf("Invalid JPG header in '%s'", text));
    }

    // Size everything from the header, checked, before a byte is allocated. The sides
    // are at most 65535, so none of this overflows.
    const uint64_t fullWidth = shared.cinfo.image_width;
    const uint64_t fullHeight = shared.cinfo.image_height;
    // A picture that will be drawn at half its size or less is decoded at the scale it
    // is drawn at: the library scales in its inverse DCT, rounding the sides up.
    job.reduction = static_cast<unsigned>(DrawScaleScope::reductionFor(DrawScaleScope::current()));
    const uint64_t width = (fullWidth + job.reduction - 1) / job.reduction;
    const uint64_t height = (fullHeight + job.reduction - 1) / job.reduction;
    const uint64_t bufferBytes = (width + 1) * height * 3;
    // The library's coefficients stay at full size whatever the scale.
    const JpegCost cost = estimateCost(shared.cinfo);
    const uint64_t needed = bufferBytes + cost.libraryBytes;
    if (needed > kDecodeMemoryBudget) refuseTooLarge(fullWidth, fullHeight, needed);
    // The library's own allocations stop at what the pixel buffer leaves of the budget.
    shared.cinfo.mem->max_memory_to_use = static_cast<long>(kDecodeMemoryBudget - bufferBytes);
    shared.blockVisits = 0;
    shared.blockVisitLimit = kMaxScanPasses * std::max<uint64_t>(cost.blocks, 1);
    shared.countedScan = 0;
    shared.tooMuchWork = false;
    job.width = static_cast<uint32_t>(width);
    job.height = static_cast<uint32_t>(height);
    job.rowBytes = static_cast<uint32_t>(3 * width + width % 4);

    _Ref<_ImageInfo> image = new _ImageInfo();
    image->init(text, IMAGE_JPEG);
    PlacedOutcome outcome;
    // A picture at its own size (the CMYK rows are converted by hand) may go straight to
    // the window it is drawn on.
    PicturePlacer* placer = job.reduction == 1 && !isCmyk(shared.cinfo) ? DrawInPlaceScope::current() : nullptr;
    Canvas window;
    if (placer && placer->place(static_cast<int>(width), static_cast<int>(height), window)) {
        outcome.placer = placer;
        job.pixels = reinterpret_cast<uint8_t*>(window.pixels);
        job.rowBytes = static_cast<uint32_t>(window.stride) * 4;
        job.fourBytes = true;
    } else {
        // From here the record owns both blocks: its destructor frees them if the decode fails.
        image->info = makeDibHeader(256);
        // The rows come uninitialised, most often the block of an earlier picture: the
        // library writes every pixel, and only the bytes it does not write are zeroed below.
        image->bits =
            static_cast<unsigned char*>(takePixelBlock(static_cast<size_t>(bufferBytes), image->pooledBytes));
        if (!image->info || !image->bits) throw ImageException("Not enough memory");
        job.pixels = image->bits;
    }

    if (!guarded(decodeStep, job)) {
        if (shared.cancelled) throw DecodeCancelled();
        if (shared.tooMuchWork) {
            char what[96];
            std::snprintf(what, sizeof what, "%d scans over %llu\xC3\x97%llu pixels", shared.cinfo.input_scan_number,
                          static_cast<unsigned long long>(fullWidth), static_cast<unsigned long long>(fullHeight));
            refuseTooMuchWork(what);
        }
        const int code = shared.err.msg_code;
        if (code == JERR_OUT_OF_MEMORY || code == JERR_NO_BACKING_STORE) refuseTooLarge(fullWidth, fullHeight, needed);
        throw ImageException(kFormatError);
    }
    if (!job.started) {
        throw JpegImageException(L::sprintf("Can't start jpeg decompression in '%s'", text));
    }
    idle.finished = true;
    if (outcome.placer) {
        outcome.complete = true;
        image->drawnInPlace = true;
        return image;
    }
    // The rows' padding was zeroed as they were read; the tail after the last row is
    // written by nobody.
    const size_t used = size_t(job.rowBytes) * job.height;
    std::memset(image->bits + used, 0, static_cast<size_t>(bufferBytes) - used);

    BITMAPINFOHEADER& header = image->info->bmiHeader;
    header.biWidth = static_cast<LONG>(width);
    header.biHeight = -static_cast<LONG>(height);
    if (job.reduction > 1) {
        image->reducedFromWidth = static_cast<int32_t>(fullWidth);
        image->reducedFromHeight = static_cast<int32_t>(fullHeight);
    }
    image->infoBytes = 44 + 4 * 256;
    image->bitsBytes = static_cast<uint32_t>(bufferBytes);
    return image;
}

_Ref<_ImageInfo> loadJpegFile(char const* path) {
    CFileMapping file;
    if (!file.open(path, false)) {
        throw JpegImageException(L::sprintf("Can't open file '%s'", path ? path : ""));
    }
    // The mapping closes when `file` goes, whether the decode succeeded or not.
    return loadJpeg(file.getPtr(0), static_cast<int>(file.size()), _S(path, false));
}

}  // namespace img_lib
