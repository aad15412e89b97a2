#include "JpegReader.h"

#include "JpegStream.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

// jpeglib.h uses FILE and size_t without including their headers.
#include <jpeglib.h>

namespace Morvek {

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back to
// decode() with the library's message kept here. Corrupt-data warnings end the decode the same
// way, so that damaged files are refused instead of decoded with made-up pixels. The decoder's
// state lives here, outside the frame that calls setjmp, so that it is still valid after a jump.
struct Decoder {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void stop(j_common_ptr info)
{
    // decode() points the library's client data at the decoder.
    auto* self = static_cast<Decoder*>(info->client_data);
    (*info->err->format_message)(info, self->message);
    std::longjmp(self->jump, 1);
}

void onMessage(j_common_ptr info, int level)
{
    // Level -1 is a warning that the data are corrupt; higher levels are trace output.
    if (level < 0)
        stop(info);
}

enum class Outcome { Decoded, LibraryError, Refused };

// Only plain data lives in this frame across setjmp, so that a jump back from the library skips
// no destructor. `refusal` receives the target's own error when the size or allocation fails.
Outcome decode(const unsigned char* data, unsigned long size, ImageTarget& target,
               std::string& refusal, Decoder& decoder)
{
    jpeg_decompress_struct& info = decoder.info;
    std::memset(&info, 0, sizeof info);
    info.err = jpeg_std_error(&decoder.errors);
    info.client_data = &decoder;
    decoder.errors.error_exit = stop;
    decoder.errors.emit_message = onMessage;
    decoder.message[0] = '\0';
    if (setjmp(decoder.jump)) {
        jpeg_destroy_decompress(&info);
        return Outcome::LibraryError;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    if (!target.checkSize(info.image_width, info.image_height, refusal)) {
        jpeg_destroy_decompress(&info);
        return Outcome::Refused;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3 ||
        !target.allocate(int(info.output_width), int(info.output_height),
                         osg::Image::OSG_UINT8_IMAGEDATA, refusal)) {
        jpeg_destroy_decompress(&info);
        return Outcome::Refused;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = target.pictureRow(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return Outcome::Decoded;
}

} // namespace

bool JpegReader::read(const std::vector<unsigned char>& bytes, ImageTarget& target,
                      std::string& error)
{
    if (!JpegStream::check(bytes, target, error))
        return false;
    Decoder decoder;
    std::string refusal;
    switch (
        decode(bytes.data(), static_cast<unsigned long>(bytes.size()), target, refusal, decoder)) {
    case Outcome::Decoded:
        return true;
    case Outcome::Refused:
        error = refusal.empty() ? target.path() + ": the JPEG data do not decode to RGB" : refusal;
        return false;
    case Outcome::LibraryError:
        break;
    }
    // The library's warnings say "Corrupt JPEG data: ..." themselves.
    const std::string prefix = "Corrupt JPEG data: ";
    std::string reason = decoder.message;
    if (reason.compare(0, prefix.size(), prefix) == 0)
        reason.erase(0, prefix.size());
    error = target.path() + ": corrupt JPEG data: " + reason;
    return false;
}

} // namespace Morvek
