#include "app/jpeg_image.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include <csetjmp>
#include <cstddef>
#include <cstdio>

namespace zp {

namespace {

// libjpeg's default error handler prints and calls exit(); this one jumps back to the
// decoder instead, which then gives up on the picture.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf escape;
};

[[noreturn]] void onError(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(manager->escape, 1);
}

// Warnings (level -1) mean corrupt data that libjpeg would paper over with grey blocks;
// a damaged picture is treated as no picture. Trace messages are ignored.
void onMessage(j_common_ptr info, int level) {
    if (level < 0) onError(info);
}

// Pictures larger than this are refused rather than allocated.
constexpr JDIMENSION kMaxSide = 16384;

// All locals that must survive the longjmp live here, outside the setjmp frame's registers.
struct Decoder {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    QImage image;
};

bool decodeInto(Decoder& d, const QByteArray& data) {
    d.info.err = jpeg_std_error(&d.errors.base);
    d.errors.base.error_exit = onError;
    d.errors.base.emit_message = onMessage;
    d.errors.base.output_message = [](j_common_ptr) {};
    if (setjmp(d.errors.escape)) return false;

    jpeg_create_decompress(&d.info);
    jpeg_mem_src(&d.info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&d.info, TRUE) != JPEG_HEADER_OK) return false;
    if (d.info.image_width == 0 || d.info.image_height == 0 || d.info.image_width > kMaxSide ||
        d.info.image_height > kMaxSide)
        return false;
    d.info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d.info);
    if (d.info.output_components != 3) return false;

    d.image = QImage(static_cast<int>(d.info.output_width), static_cast<int>(d.info.output_height),
                     QImage::Format_RGB888);
    if (d.image.isNull()) return false;
    while (d.info.output_scanline < d.info.output_height) {
        JSAMPROW row = d.image.scanLine(static_cast<int>(d.info.output_scanline));
        jpeg_read_scanlines(&d.info, &row, 1);
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

}  // namespace

QImage decodeJpeg(const QByteArray& data) {
    if (data.isEmpty()) return QImage();
    Decoder d;
    const bool ok = decodeInto(d, data);
    // Safe after a jump too: the object was created before any call that can fail.
    jpeg_destroy_decompress(&d.info);
    if (!ok) return QImage();
    return d.image;
}

}  // namespace zp
