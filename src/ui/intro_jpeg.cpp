#include "ui/intro_jpeg.h"

// clang-format off
#include <cstdio>
#include <csetjmp>
#include <jpeglib.h>
// clang-format on

#include <vector>

namespace pelgrin {
namespace {

// The library reports fatal errors through error_exit, which must not return: jump back
// to the decoder instead of ending the program.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf escape;
};

[[noreturn]] void ErrorExit(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->escape, 1);
}

void IgnoreMessage(j_common_ptr) {}

struct RgbPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // rows of width R, G, B triples
};

// Runs the library from header to last row. A jump back from the library lands here and
// skips no destructor: this frame owns nothing, the picture belongs to the caller and the
// library frees its own memory in jpeg_destroy_decompress.
bool RunDecoder(jpeg_decompress_struct& info, ErrorManager& errors,
                std::span<const std::uint8_t> data, std::int64_t max_pixels, RgbPicture& picture) {
  if (setjmp(errors.escape) != 0) return false;
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  const std::int64_t pixels = std::int64_t{info.image_width} * info.image_height;
  if (pixels <= 0 || pixels > max_pixels) return false;
  jpeg_start_decompress(&info);
  if (info.output_components != 3) return false;
  picture.width = static_cast<int>(info.output_width);
  picture.height = static_cast<int>(info.output_height);
  picture.rgb.resize(static_cast<std::size_t>(pixels) * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = &picture.rgb[std::size_t{info.output_scanline} * info.output_width * 3];
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  return true;
}

Surface ToSurface(const RgbPicture& picture) {
  Surface surface(picture.width, picture.height);
  const std::uint8_t* p = picture.rgb.data();
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x, p += 3)
      surface.SetPixel(x, y, PackRGB(p[0], p[1], p[2]));
  }
  return surface;
}

}  // namespace

std::optional<Surface> DecodeJpeg(std::span<const std::uint8_t> data, std::int64_t max_pixels) {
  if (data.empty()) return std::nullopt;
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = ErrorExit;
  errors.base.output_message = IgnoreMessage;
  RgbPicture picture;
  const bool decoded = RunDecoder(info, errors, data, max_pixels, picture);
  jpeg_destroy_decompress(&info);
  if (!decoded) return std::nullopt;
  return ToSurface(picture);
}

}  // namespace pelgrin
