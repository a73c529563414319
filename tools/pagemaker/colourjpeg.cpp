// Colour JPEG pages through libjpeg, with the resolution in the JFIF header.
#include "tools/pagemaker/pagemaker.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace pagemaker {
namespace {

struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void onJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorTrap*>(info->err)->jump, 1);
}

void quietJpegMessage(j_common_ptr) {}

// Encodes with plain C objects only, because a libjpeg error leaves through longjmp.
// On success *out is a malloc'd buffer the caller frees.
bool encodeJpeg(const RgbImage& image, int xDpi, int yDpi, int quality, unsigned char** out,
                unsigned long* outSize) {
    jpeg_compress_struct info;
    ErrorTrap trap;
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = onJpegError;
    trap.manager.output_message = quietJpegMessage;
    *out = nullptr;
    *outSize = 0;
    if (setjmp(trap.jump)) {
        jpeg_destroy_compress(&info);
        std::free(*out);
        *out = nullptr;
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, outSize);
    info.image_width = static_cast<JDIMENSION>(image.width);
    info.image_height = static_cast<JDIMENSION>(image.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.write_JFIF_header = TRUE;
    info.density_unit = 1;  // dots per inch
    info.X_density = static_cast<UINT16>(xDpi);
    info.Y_density = static_cast<UINT16>(yDpi);
    jpeg_start_compress(&info, TRUE);
    const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.pixels.data() + info.next_scanline * stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

bool RgbImage::valid() const {
    return width > 0 && height > 0 &&
           pixels.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
}

Bytes makeColourJpeg(const RgbImage& image, int xDpi, int yDpi, int quality) {
    if (!image.valid() || image.width > 65500 || image.height > 65500 || xDpi < 1 || xDpi > 65535 ||
        yDpi < 1 || yDpi > 65535 || quality < 1 || quality > 100) {
        return {};
    }
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (!encodeJpeg(image, xDpi, yDpi, quality, &buffer, &size)) {
        return {};
    }
    Bytes bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

}  // namespace pagemaker
